#!/usr/bin/env bash
# Mutation testing of every page module (npm run mutation): Stryker changes each module of web/ in every way
# its mutators know and runs that module's Node tests against each change, then prints the scores.
#
# usage: tests/web/mutation.sh [MODULE...]   (from the top of the source tree; MODULE: web/NAME.js; all by default)
set -euo pipefail
cd "$(dirname "$0")/../.."
mkdir -p build
# The modules tested by another's Node tests; any other module NAME has its own, tests/web/NAME.test.mjs.
declare -A tests=([keypad]=keyboard [worker_registration]=service_worker [words]=runs)
modules=("$@")
[ "${#modules[@]}" -gt 0 ] || modules=(web/*.js)
for module in "${modules[@]}"; do
    name=$(basename "$module" .js)
    by=${tests[$name]:-$name}
    [ -f "tests/web/$by.test.mjs" ] || { echo "no Node tests test $module"; exit 1; }
    echo "== $module, by tests/web/$by.test.mjs"
    log=build/mutation-$name.log
    HITBLOW_MUTATED=$by npx stryker run tests/web/stryker.config.json --mutate "$module" >"$log" 2>&1 ||
        { tail -20 "$log"; echo "Stryker failed on $module: $log"; exit 1; }
    grep -E '^(All files|[ ]*[a-z_]+\.js) *\|' "$log"
done
