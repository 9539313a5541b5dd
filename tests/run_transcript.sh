#!/usr/bin/env bash
# Plays one transcript: feeds NAME.in to a command and checks its output bytes
# against NAME.out (UTF-8 on disk, compared as Shift-JIS) and its exit status 0.
#
# usage: run_transcript.sh PATH/NAME lf|crlf COMMAND [ARG...]
set -u
base=$1 ends=$2
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

iconv -f UTF-8 -t CP932 "$base.out" >"$work/expected" || exit 2
[ "$ends" = lf ] || sed -i 's/$/\r/' "$work/expected"

timeout 60 "$@" <"$base.in" >"$work/actual"
status=$?

if ! cmp -s "$work/expected" "$work/actual"; then
    echo "output differs from $base.out (shown as UTF-8, expected first):"
    diff -u <(iconv -f CP932 -t UTF-8 "$work/expected" | sed "s/\$/\$/") \
            <(iconv -f CP932 -t UTF-8 "$work/actual" | sed "s/\$/\$/") | head -n 60
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "exit status $status, expected 0"
    exit 1
fi
