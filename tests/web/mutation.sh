#!/usr/bin/env bash
# Mutation testing of every page module (npm run mutation): Stryker changes each module of web/ in every way
# its mutators know and runs that module's Node tests against each change, then prints the scores.
#
# usage: tests/web/mutation.sh [MODULE...]   (from the top of the source tree; MODULE: web/NAME.js; all by default)
set -euo pipefail
cd "$(dirname "$0")/../.."
# Each module, with the Node tests that test it (tests/web/NAME.test.mjs).
declare -A tests=(
    [transcript]=transcript [line_discipline]=line_discipline [record]=record [keyboard]=keyboard
    [keypad]=keyboard [worker_registration]=service_worker [service_worker]=service_worker
    [words]=runs [runs]=runs
)
modules=("$@")
[ "${#modules[@]}" -gt 0 ] || modules=(web/*.js)
for module in "${modules[@]}"; do
    name=$(basename "$module" .js)
    [ -n "${tests[$name]:-}" ] || { echo "no Node tests are named for $module"; exit 1; }
    echo "== $module, by tests/web/${tests[$name]}.test.mjs"
    HITBLOW_MUTATED=${tests[$name]} npx stryker run tests/web/stryker.config.json --mutate "$module" 2>&1 |
        tee "build/mutation-$name.log" | grep -E '^(All files|[ ]*[a-z_]+\.js) *\|' || true
done
