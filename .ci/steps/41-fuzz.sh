#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers, then runs both at once, one a core, for a bounded time
# from the seed corpus in fuzz/corpus/.  Any crash, sanitizer finding, broken check, slow input or memory blow-up
# fails the step.  FUZZ_SECONDS sets the time per target (60 by default).
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}

cmake --workflow --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets=(entry session)
# New inputs go to each target's scratch corpus (the first directory); the
# seeds in the repository are only read.  Findings are written as crash-*.
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    echo "fuzzing ${target}_fuzz for $seconds s"
    ./build/fuzz/fuzz/"${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$work/$target-" \
        "$work/$target" fuzz/corpus/entry fuzz/corpus/session >"$work/$target.log" 2>&1 &
done
failed=0
for target in "${targets[@]}"; do
    if ! wait -n; then
        failed=1
    fi
done
for target in "${targets[@]}"; do
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$work/$target.log" | sed "s/^/$target: /" || true
done
if [ "$failed" -ne 0 ]; then
    for target in "${targets[@]}"; do
        tail -n 30 "$work/$target.log"
    done
    for finding in "$work"/*-crash-* "$work"/*-timeout-* "$work"/*-oom-* "$work"/*-leak-*; do
        [ -e "$finding" ] && { echo "finding $finding:"; od -c "$finding" | head -n 20; }
    done
    echo "fuzzing found a problem"
    exit 1
fi
bash .ci/tally.sh "fuzzing, a target a test" "${#targets[@]}" 0 0
