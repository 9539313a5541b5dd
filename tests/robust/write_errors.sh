#!/usr/bin/env bash
# Checks what the game does when its output cannot be written: exit status 1
# and one line on standard error naming the program and the reason, whether
# the failure shows at a flush in the middle of a session or only at the final
# flush; and a broken pipe left to the signal's own handling.
#
# usage: write_errors.sh GAME
set -u
game=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_error NAME STATUS REASON: the run ended with STATUS 1 and standard
# error holds exactly the one line for REASON.
expect_error() {
    local name=$1 status=$2 reason=$3
    local line="hitblow: cannot write to standard output: $reason"
    [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
    if [ "$(cat "$work/err")" != "$line" ] || [ "$(wc -l <"$work/err")" -ne 1 ]; then
        fail "$name: standard error is not the one line '$line':"
        head -c 2000 "$work/err"
    fi
}

# A disk that is full from the start.  The endless input never lets the
# session end, so only a stop at the first failed flush (the 512-byte block
# filling up) ends this run.
yes 1 | timeout 20 "$game" >/dev/full 2>"$work/err"
expect_error "full disk, seen mid-session" "${PIPESTATUS[1]}" "No space left on device"

# A short session whose few bytes stay buffered until the final flush at exit.
printf -- '-1\n' | timeout 20 "$game" >/dev/full 2>"$work/err"
expect_error "full disk, seen at exit" "${PIPESTATUS[1]}" "No space left on device"

# Standard output closed before the program starts.
printf -- '-1\n' | timeout 20 "$game" 2>"$work/err" >&-
expect_error "closed standard output" "${PIPESTATUS[1]}" "Bad file descriptor"

# A reader that goes away: with SIGPIPE at its default the signal ends the
# program (status 128 + 13), as for any Unix filter.
yes 1 | timeout 20 env --default-signal=PIPE "$game" 2>"$work/err" | head -c 100 >/dev/null
status=${PIPESTATUS[1]}
[ "$status" -eq 141 ] || fail "broken pipe: exit status $status, expected 141 (killed by SIGPIPE)"
[ -s "$work/err" ] && fail "broken pipe: wrote to standard error: $(head -c 500 "$work/err")"

# The same, started with SIGPIPE ignored by its parent: the program leaves the
# inherited handling alone, so the write fails and is reported like any other.
yes 1 | timeout 20 env --ignore-signal=PIPE "$game" 2>"$work/err" | head -c 100 >/dev/null
expect_error "broken pipe, SIGPIPE ignored" "${PIPESTATUS[1]}" "Broken pipe"

# And all is well when every byte can be written.
printf -- '-1\n' | timeout 20 "$game" >"$work/out" 2>"$work/err"
status=${PIPESTATUS[1]}
[ "$status" -eq 0 ] || fail "writable output: exit status $status, expected 0"
[ -s "$work/err" ] && fail "writable output: wrote to standard error: $(head -c 500 "$work/err")"

[ "$failures" -eq 0 ] && echo "all write-error checks passed"
[ "$failures" -eq 0 ]
