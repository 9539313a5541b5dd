#!/usr/bin/env bash
# Runs one CMake workflow preset through the README's test command, counts its tests for CI's closing line,
# and fails when any of them was skipped: CI installs every tool the tests need, so a skip means one is missing.
#
# usage: .ci/workflow.sh PRESET
set -euo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT

status=0
bash tests/run_all.sh "$1" 2>&1 | tee "$log" || status=$?
bash .ci/tally.sh "the $1 preset's tests" --ctest "$log"
[ "$status" -eq 0 ] || exit "$status"
if grep -q '^The following tests did not run:' "$log"; then
    echo "CI has every tool these tests need, yet they were skipped:"
    sed -n '/^Skipped, and why/,$p' "$log" | sed 1d
    exit 1
fi
