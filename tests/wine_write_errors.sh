#!/usr/bin/env bash
# Checks the Windows build, run under Wine, when its output cannot be written:
# exit status 1 and one CR LF line on standard error naming the reason.
#
# usage: wine_write_errors.sh COMMAND [ARG...]   (the game, e.g. through wine-run.sh)
set -u

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_error NAME STATUS REASON: the run ended with STATUS 1 and standard
# error holds exactly the one line for REASON, ended by CR LF.
expect_error() {
    local name=$1 status=$2 reason=$3
    [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
    printf 'hitblow: cannot write to standard output: %s\r\n' "$reason" >"$work/want"
    if ! cmp -s "$work/want" "$work/err"; then
        fail "$name: standard error is not the one line '$reason':"
        od -c "$work/err" | head -n 10
    fi
}

# A full disk, seen at the first 512-byte block: the endless input never
# lets the session end on its own.
yes 1 | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen mid-session" "${PIPESTATUS[1]}" "No space left on device"

# A full disk, seen only at the final flush of a short session.
printf -- '-1\n' | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen at exit" "${PIPESTATUS[1]}" "No space left on device"

# A reader that goes away.  Windows has no SIGPIPE: the write fails.
yes 1 | timeout 60 "$@" 2>"$work/err" | head -c 100 >/dev/null
expect_error "broken pipe" "${PIPESTATUS[1]}" "Broken pipe"

# No standard output at all.
printf -- '-1\n' | timeout 60 "$@" 2>"$work/err" >&-
expect_error "closed standard output" "${PIPESTATUS[1]}" "Bad file descriptor"

# And all is well when every byte can be written.
printf -- '-1\n' | timeout 60 "$@" >"$work/out" 2>"$work/err"
status=${PIPESTATUS[1]}
[ "$status" -eq 0 ] || fail "writable output: exit status $status, expected 0"
[ -s "$work/err" ] && fail "writable output: wrote to standard error: $(head -c 500 "$work/err")"

[ "$failures" -eq 0 ] && echo "all write-error checks passed"
[ "$failures" -eq 0 ]
