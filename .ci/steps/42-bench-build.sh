#!/usr/bin/env bash
# Builds the benchmarks and runs each once, briefly, to show they still work.
# Nothing is timed here: the figures in docs/benchmarks.md come from runs by
# hand.  The instruction counts are shown, for the record.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --workflow --preset bench
./build/bench/bench/game_bench --benchmark_min_time=0.001 >/dev/null
bash bench/session.sh 600 build/bench
bash bench/callgrind.sh 300 build/bench
bash .ci/tally.sh "the benchmarks, run once each" 3 0 0
