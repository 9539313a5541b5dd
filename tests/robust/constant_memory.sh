#!/usr/bin/env bash
# Measures the game's peak resident memory (with GNU time) and checks that it
# does not grow with the input: a 10,000-game session peaks where a one-game
# session does, and a 100 MB token or 100 MB of whitespace where a bare quit
# does.  Every run must still end with exit status 0.
#
# usage: constant_memory.sh GAME SESSION_SCRIPT
# GAME is the fixed-clock build, whose answers SESSION_SCRIPT knows.
set -u
game=$1 session_script=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Address-space randomisation alone moves the peak by a hundred kilobytes or
# so from one run to the next, so the runs are made with it turned off, where
# the same program peaks at the same kilobyte every time.  Where it cannot be
# turned off, peaks within 256 kB pass: still far less than the 10,000 games
# or 100 MB would add if anything grew with them.
if setarch "$(uname -m)" -R true 2>/dev/null; then
    fixed_layout=(setarch "$(uname -m)" -R)
    slack_kb=0
else
    fixed_layout=()
    slack_kb=256
    echo "address-space randomisation stays on: peaks within $slack_kb kB pass"
fi

# peak NAME: runs the game on standard input, prints its peak resident set in
# kilobytes and leaves it in $peak_kb.
peak() {
    "${fixed_layout[@]}" /usr/bin/time -f '%M' -o "$work/rss" "$game" >"$work/out" 2>"$work/err"
    local status=$?
    peak_kb=$(tail -n 1 "$work/rss")
    printf '%-28s peak %6s kB, exit status %s\n' "$1" "$peak_kb" "$status"
    if [ "$status" -ne 0 ]; then
        echo "FAIL: $1: exit status $status"
        failures=$((failures + 1))
    fi
}

# same NAME A B: A and B are the same peak, give or take $slack_kb.
same() {
    local diff=$(($2 - $3))
    if [ "${diff#-}" -gt "$slack_kb" ]; then
        echo "FAIL: $1: $2 kB against $3 kB"
        failures=$((failures + 1))
    fi
}

peak "quit at once" < <(printf -- '-1\n')
quit_kb=$peak_kb

"$session_script" 1 >"$work/one" && peak "1 game" <"$work/one"
one_kb=$peak_kb
"$session_script" 10000 >"$work/many" && peak "10,000 games" <"$work/many"
many_kb=$peak_kb
played=$(iconv -f CP932 -t UTF-8 "$work/out" | grep -c '^正解は')
[ "$played" -eq 10000 ] || { echo "FAIL: 10,000 games scripted, $played played"; failures=$((failures + 1)); }
same "10,000 games against 1 game" "$many_kb" "$one_kb"

peak "a 100 MB token" < <(head -c 100000000 /dev/zero | tr '\0' 7; printf '\n-1\n')
same "a 100 MB token against a bare quit" "$peak_kb" "$quit_kb"

peak "100 MB of whitespace" < <(head -c 100000000 /dev/zero | tr '\0' ' '; printf '\n-1\n')
same "100 MB of whitespace against a bare quit" "$peak_kb" "$quit_kb"

[ "$failures" -eq 0 ]
