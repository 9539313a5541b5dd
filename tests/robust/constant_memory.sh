#!/usr/bin/env bash
# Checks, with GNU time, that the game's peak memory does not grow with its input: a 10,000-game session
# against one game, a 100 MB token or 100 MB of whitespace against a bare quit, each ending with status 0.
#
# usage: constant_memory.sh GAME SESSION_SCRIPT   (GAME: the fixed-clock build, whose answers SESSION_SCRIPT knows)
#
# The same run's peak varies by about 200 kB, so only growth past GROWTH_BOUND_KB fails: a leak of a few
# hundred bytes a game, or a buffer holding the token, adds megabytes.
set -u
game=$1 session_script=$2
GROWTH_BOUND_KB=1024

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# peak NAME: runs the game on standard input, prints its peak resident set in
# kilobytes and leaves it in $peak_kb.
peak() {
    /usr/bin/time -f '%M' -o "$work/rss" "$game" >"$work/out" 2>"$work/err"
    local status=$?
    peak_kb=$(tail -n 1 "$work/rss")
    printf '%-22s peak %7s kB, exit status %s\n' "$1" "$peak_kb" "$status"
    [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

# no_growth NAME PEAK BASELINE: PEAK is at most GROWTH_BOUND_KB above BASELINE.
no_growth() {
    local growth=$(($2 - $3))
    printf '%-44s %+6d kB (bound %d kB)\n' "$1" "$growth" "$GROWTH_BOUND_KB"
    [ "$growth" -le "$GROWTH_BOUND_KB" ] || fail "$1: grew by $growth kB, more than $GROWTH_BOUND_KB kB"
}

peak "quit at once" < <(printf -- '-1\n')
quit_kb=$peak_kb

"$session_script" 1 >"$work/one" || exit 2
peak "1 game" <"$work/one"
one_kb=$peak_kb

"$session_script" 10000 >"$work/many" || exit 2
peak "10,000 games" <"$work/many"
many_kb=$peak_kb
played=$(iconv -f CP932 -t UTF-8 "$work/out" | grep -c '^正解は')
[ "$played" -eq 10000 ] || fail "10,000 games scripted, $played played"

peak "a 100 MB token" < <(head -c 100000000 /dev/zero | tr '\0' 7; printf '\n-1\n')
token_kb=$peak_kb

peak "100 MB of whitespace" < <(head -c 100000000 /dev/zero | tr '\0' ' '; printf '\n-1\n')
space_kb=$peak_kb

no_growth "10,000 games against 1 game" "$many_kb" "$one_kb"
no_growth "a 100 MB token against a bare quit" "$token_kb" "$quit_kb"
no_growth "100 MB of whitespace against a bare quit" "$space_kb" "$quit_kb"

[ "$failures" -eq 0 ]
