#!/usr/bin/env bash
# Runs the allocation-counting build of the game on scripted sessions of 0, 1
# and 1,000 games and checks that each allocates nothing between the first
# menu and the farewell line, and that every scripted game was played.
#
# usage: heap_check.sh HEAP_CHECK SESSION_SCRIPT
set -u
heap_check=$1 session_script=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

for games in 0 1 1000; do
    "$session_script" "$games" >"$work/in" || exit 2
    "$heap_check" <"$work/in" >"$work/out" 2>"$work/err"
    status=$?
    played=$(iconv -f CP932 -t UTF-8 "$work/out" | grep -c '^正解は')
    echo "$games games: $(cat "$work/err"), $played answer lines, exit status $status"
    if [ "$status" -ne 0 ] || [ "$(cat "$work/err")" != "allocations during play: 0" ] ||
        [ "$played" -ne "$games" ]; then
        echo "FAIL: expected exit status 0, no allocation and $games answer lines"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ]
