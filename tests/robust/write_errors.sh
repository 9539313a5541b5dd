#!/usr/bin/env bash
# Checks what the game does when its output cannot be written: exit status 1
# and one line on standard error naming the program and the reason, whether
# the failure shows at a flush in the middle of a session or only at the final
# flush.  A broken pipe is left to the platform: SIGPIPE's own handling on
# Unix, a failed write on Windows (which has no SIGPIPE).
#
# usage: write_errors.sh unix|windows COMMAND [ARG...]
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

# expect_error NAME STATUS REASON: the run ended with STATUS 1 and standard
# error holds exactly the one line for REASON.
expect_error() {
    local name=$1 status=$2 reason=$3
    [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
    printf 'hitblow: cannot write to standard output: %s%s' "$reason" "$line_end" >"$work/want"
    if ! cmp -s "$work/want" "$work/err"; then
        fail "$name: standard error is not the one line '$reason':"
        od -c "$work/err" | head -n 10
    fi
}

# A disk that is full from the start.  The endless input never lets the
# session end, so only a stop at the first failed flush (the 512-byte block
# filling up) ends this run.
yes 1 | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen mid-session" "${PIPESTATUS[1]}" "No space left on device"

# A short session whose few bytes stay buffered until the final flush at exit.
printf -- '-1\n' | timeout 60 "$@" >/dev/full 2>"$work/err"
expect_error "full disk, seen at exit" "${PIPESTATUS[1]}" "No space left on device"

# Standard output closed before the program starts.
printf -- '-1\n' | timeout 60 "$@" 2>"$work/err" >&-
expect_error "closed standard output" "${PIPESTATUS[1]}" "Bad file descriptor"

if [ "$platform" = windows ]; then
    # A reader that goes away: the write fails and is reported.
    yes 1 | timeout 60 "$@" 2>"$work/err" | head -c 100 >/dev/null
    expect_error "broken pipe" "${PIPESTATUS[1]}" "Broken pipe"
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
    expect_error "broken pipe, SIGPIPE ignored" "${PIPESTATUS[1]}" "Broken pipe"
fi

# And all is well when every byte can be written.
printf -- '-1\n' | timeout 60 "$@" >"$work/out" 2>"$work/err"
status=${PIPESTATUS[1]}
[ "$status" -eq 0 ] || fail "writable output: exit status $status, expected 0"
[ -s "$work/err" ] && fail "writable output: wrote to standard error: $(head -c 500 "$work/err")"

[ "$failures" -eq 0 ] && echo "all write-error checks passed"
[ "$failures" -eq 0 ]
