#!/usr/bin/env bash
# Counts the instructions the game executes per game of a long scripted
# session, with callgrind: unlike times, the count is the same on every run.
#
# usage: bench/callgrind.sh [GAMES [BUILD_DIR]]
#   GAMES      games in the session, 3000 by default (tests/robust/session_script.cpp)
#   BUILD_DIR  the bench build, build/bench by default (cmake --workflow --preset bench)
# The fixed-clock build plays the session from a file and writes to /dev/null,
# in 512-byte blocks as to any file.  A session that quits at once is counted
# too, and taken off, so that the figure per game leaves out starting and
# ending the process.
set -euo pipefail
games=${1:-3000}
build=${2:-build/bench}
game=$build/tests/hitblow-fixed-clock
script=$build/tests/robust/session_script

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$script" "$games" >"$work/in"
"$script" 0 >"$work/quit"

# instructions INPUT: prints the instructions executed playing INPUT.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$game" <"$1" >/dev/null 2>"$work/log"
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

total=$(instructions "$work/in")
start=$(instructions "$work/quit")
printed=$("$game" <"$work/in" | wc -c)
echo "$games games, $(wc -c <"$work/in") bytes typed, $printed bytes printed"
echo "instructions: $total in all, $start to start and quit"
awk -v t="$total" -v s="$start" -v g="$games" -v p="$printed" 'BEGIN {
    printf "per game: %.0f instructions; per byte printed: %.1f\n", (t - s) / g, (t - s) / p
}'
