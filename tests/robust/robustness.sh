#!/usr/bin/env bash
# Plays generated garbage inputs through the game: each must end in time with status 0, nothing on standard
# error and the farewell line last.  A failure is replayed with: garbage SEED | GAME
#
# usage: robustness.sh GAME GARBAGE COUNT [FIRST_SEED]
set -u
game=$1 garbage=$2 count=$3 first=${4:-1}
time_bound=60

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'ゲームを終了します。\n' | iconv -f UTF-8 -t CP932 >"$work/farewell" || exit 2
farewell_size=$(wc -c <"$work/farewell")

failures=0 total_bytes=0
for ((seed = first; seed < first + count; seed++)); do
    "$garbage" "$seed" >"$work/in" || { echo "seed $seed: the garbage tool failed"; exit 2; }
    total_bytes=$((total_bytes + $(wc -c <"$work/in")))
    timeout "$time_bound" "$game" <"$work/in" >"$work/out" 2>"$work/err"
    status=$?
    problem=
    if [ "$status" -eq 124 ]; then
        problem="still running after $time_bound s"
    elif [ "$status" -ne 0 ]; then
        problem="exit status $status"
    elif [ -s "$work/err" ]; then
        problem="wrote to standard error"
    elif ! tail -c "$farewell_size" "$work/out" | cmp -s - "$work/farewell"; then
        problem="the last output is not the farewell line"
    fi
    if [ -n "$problem" ]; then
        echo "seed $seed: $problem; replay with: $garbage $seed | $game"
        head -c 2000 "$work/err"
        failures=$((failures + 1))
    fi
done

echo "$count inputs, $total_bytes bytes in all, $failures failed"
[ "$failures" -eq 0 ]
