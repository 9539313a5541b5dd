#!/usr/bin/env bash
# Runs one CMake workflow preset through the README's test command, and fails when any of its tests was skipped:
# CI installs every tool the tests need, so a skip here means a tool is missing.
#
# usage: .ci/workflow.sh PRESET
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT

bash tests/run_all.sh "$1" 2>&1 | tee "$log"
if grep -q '^The following tests did not run:' "$log"; then
    echo "CI has every tool these tests need, yet they were skipped:"
    sed -n '/^Skipped, and why/,$p' "$log" | sed 1d
    exit 1
fi
