#!/usr/bin/env bash
# Times a long scripted session piped into the fixed-clock build: games per second and peak memory.
#
# usage: bench/session.sh [GAMES [BUILD_DIR]]
#   GAMES      games in the session, 100000 by default; they cycle through
#              easy, normal, hard, lunatic, extra and practice games of 1 to 10
#              digits, won and lost in turn (tests/robust/session_script.cpp).
#   BUILD_DIR  the bench build, build/bench by default (cmake --workflow --preset bench).
# The session is made first and then piped in by cat, so its making is not
# timed; the output goes to /dev/null, written in 512-byte blocks as to any
# file.  Each program is timed three times and its best run reported.  The
# same session is also timed through hitblow-stdio, the same game with plain C
# stdio input and output, for comparison.
set -euo pipefail
games=${1:-100000}
build=${2:-build/bench}
game=$build/tests/hitblow-fixed-clock
stdio_game=$build/bench/hitblow-stdio
script=$build/tests/robust/session_script

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$script" "$games" >"$work/in"
"$game" <"$work/in" >"$work/out"
played=$(iconv -f CP932 -t UTF-8 "$work/out" | grep -c '^正解は' || true)
if [ "$played" -ne "$games" ]; then
    echo "the session went out of step: $games games scripted, $played played" >&2
    exit 1
fi
printf '%d games, %d bytes typed, %d bytes printed\n' "$games" "$(wc -c <"$work/in")" "$(wc -c <"$work/out")"

# timing NAME PROGRAM: prints the best of three runs of PROGRAM on the session.
timing() {
    local name=$1 program=$2 best='' best_kb='' seconds peak_kb
    for _ in 1 2 3; do
        # shellcheck disable=SC2002 # the game is to read from a pipe, as in play
        cat "$work/in" | /usr/bin/time -f '%e %M' -o "$work/time" "$program" >/dev/null
        read -r seconds peak_kb <"$work/time"
        if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$seconds best_kb=$peak_kb
        fi
    done
    awk -v n="$name" -v g="$games" -v s="$best" -v k="$best_kb" 'BEGIN {
        if (s == 0) printf "%-14s under 0.01 s (too fast to time: use more games), peak %d kB\n", n, k
        else printf "%-14s %.2f s, %.0f games per second, peak %d kB\n", n, s, g / s, k
    }'
}

timing hitblow "$game"
if [ -x "$stdio_game" ]; then
    "$stdio_game" <"$work/in" | cmp -s - "$work/out" || echo "note: hitblow-stdio printed other bytes"
    timing hitblow-stdio "$stdio_game"
fi
