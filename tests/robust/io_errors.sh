#!/usr/bin/env bash
# Checks that a failed read or write, at a flush mid-session or at the last
# one, ends the game with status 1 and one line on standard error, what was
# printed before a failed read still coming out; a broken pipe is left to
# the platform (SIGPIPE on Unix), and the end of input is no failure.
#
# usage: io_errors.sh unix|windows COMMAND [ARG...]
#   windows: the game is a Windows build run through COMMAND (e.g. under Wine),
#   whose standard error line ends in CR LF.
set -u
platform=$1
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
line_end=$'\n'
[ "$platform" = windows ] && line_end=$'\r\n'

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_error NAME STATUS WHAT REASON: the run ended with STATUS 1 and
# standard error holds exactly the one line "hitblow: cannot WHAT: REASON".
expect_error() {
    local name=$1 status=$2 what=$3 reason=$4
    [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
    printf 'hitblow: cannot %s: %s%s' "$what" "$reason" "$line_end" >"$work/want"
    if ! cmp -s "$work/want" "$work/err"; then
        fail "$name: standard error is not the one line '$what: $reason':"
        od -c "$work/err" | head -n 10
    fi
}
write="write to standard output"
read="read standard input"

# The menu and its prompt, which the game prints before it first reads.
printf '難易度を選択してください。-1で終了\npractice:0 easy:1 normal:2 hard:3 \n難易度:' |
    iconv -f UTF-8 -t CP932 >"$work/menu"
[ "$platform" = windows ] && sed -i 's/$/\r/; $s/\r$//' "$work/menu"

# Standard input that cannot be read: a directory, and a closed descriptor.
# The menu printed before the failed read still comes out.  (Wine tells both
# as an I/O error, where Windows would say more.)
if [ "$platform" = windows ]; then
    dir_reason="Input/output error" closed_reason="Input/output error"
else
    dir_reason="Is a directory" closed_reason="Bad file descriptor"
fi
timeout 60 "$@" </ >"$work/out" 2>"$work/err"
expect_error "standard input a directory" "$?" "$read" "$dir_reason"
cmp -s "$work/menu" "$work/out" || fail "standard input a directory: the menu before the read did not come out"
timeout 60 "$@" <&- >"$work/out" 2>"$work/err"
expect_error "closed standard input" "$?" "$read" "$closed_reason"

# The end of input is the normal way to leave, and all is well when every byte can be written.
for input in '' '-1\n'; do
    printf -- "$input" | timeout 60 "$@" >"$work/out" 2>"$work/err"
    status=${PIPESTATUS[1]}
    [ "$status" -eq 0 ] || fail "input '$input': exit status $status, expected 0"
    [ -s "$work/err" ] && fail "input '$input': wrote to standard error: $(head -c 500 "$work/err")"
done

# A disk that is full from the start.  The endless input never lets the
# session end, so only a stop at the first failed flush (the 512-byte block
# filling up) ends this run.
yes 1 | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen mid-session" "${PIPESTATUS[1]}" "$write" "No space left on device"

# A short session whose few bytes stay buffered until the final flush at exit.
printf -- '-1\n' | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen at exit" "${PIPESTATUS[1]}" "$write" "No space left on device"

# Standard output closed before the program starts.
printf -- '-1\n' | timeout 60 "$@" 2>"$work/err" >&-
expect_error "closed standard output" "${PIPESTATUS[1]}" "$write" "Bad file descriptor"

if [ "$platform" = windows ]; then
    # A reader that goes away: the write fails and is reported.
    yes 1 | timeout 60 "$@" 2>"$work/err" | head -c 100 >/dev/null
    expect_error "broken pipe" "${PIPESTATUS[1]}" "$write" "Broken pipe"
else
    # A reader that goes away: with SIGPIPE at its default the signal ends the
    # program (status 128 + 13), as for any Unix filter.
    yes 1 | timeout 60 env --default-signal=PIPE "$@" 2>"$work/err" | head -c 100 >/dev/null
    status=${PIPESTATUS[1]}
    [ "$status" -eq 141 ] || fail "broken pipe: exit status $status, expected 141 (killed by SIGPIPE)"
    [ -s "$work/err" ] && fail "broken pipe: wrote to standard error: $(head -c 500 "$work/err")"

    # The same, started with SIGPIPE ignored by its parent: the program leaves
    # the inherited handling alone, so the write fails and is reported.
    yes 1 | timeout 60 env --ignore-signal=PIPE "$@" 2>"$work/err" | head -c 100 >/dev/null
    expect_error "broken pipe, SIGPIPE ignored" "${PIPESTATUS[1]}" "$write" "Broken pipe"
fi

[ "$failures" -eq 0 ] && echo "all read- and write-error checks passed"
[ "$failures" -eq 0 ]
