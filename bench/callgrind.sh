#!/usr/bin/env bash
# Counts the instructions the game executes on two long scripted sessions,
# with callgrind: unlike times, the counts are the same on every run.
#
# usage: bench/callgrind.sh [GAMES [BUILD_DIR]]
#   GAMES      games in each session, 3000 by default (tests/robust/session_script.cpp)
#   BUILD_DIR  the bench build, build/bench by default (cmake --workflow --preset bench)
# The mixed session cycles through every level, games won and lost at every
# turn, practice of every size.  The heavy one plays every game to its last
# turn, practice always at 10 digits and 16 turns, so its listings are at
# their longest.  The fixed-clock build plays each from a file and writes to
# /dev/null, in 512-byte blocks as to any file.  A session that quits at once
# is counted too, and taken off, so that the figure per game leaves out
# starting and ending the process.  The input side is read_number() with
# everything it calls: the tokens taken out of the input, and their values.
set -euo pipefail
games=${1:-3000}
build=${2:-build/bench}
game=$build/tests/hitblow-fixed-clock
script=$build/tests/robust/session_script

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$script" 0 >"$work/quit"

# instructions INPUT: prints the instructions executed playing INPUT.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$game" <"$1" >/dev/null 2>"$work/log"
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

start=$(instructions "$work/quit")
echo "instructions to start and quit: $start"
for session in mixed heavy; do
    if [ "$session" = heavy ]; then
        "$script" "$games" heavy >"$work/in"
    else
        "$script" "$games" >"$work/in"
    fi
    total=$(instructions "$work/in")
    printed=$("$game" <"$work/in" | wc -c)
    echo "$session session: $games games, $(wc -c <"$work/in") bytes typed, $printed bytes printed"
    typed=$(wc -c <"$work/in")
    input=$(callgrind_annotate --inclusive=yes "$work/out" | sed -n 's/^ *\([0-9,]*\) .*:read_number(int\*) .*/\1/p' | head -n 1 | tr -d ,)
    awk -v t="$total" -v s="$start" -v g="$games" -v p="$printed" -v i="$input" -v b="$typed" 'BEGIN {
        printf "  instructions: %d in all; per game: %.0f; per byte printed: %.1f\n", t, (t - s) / g, (t - s) / p
        printf "  input side (read_number and all it calls): %d; per byte typed: %.1f\n", i, i / b
    }'
done
