#!/usr/bin/env bash
# Builds every target again with warnings as errors (the ci preset).  Its tests are not run again: but for
# -Werror, it is the default build, whose tests the README's test command has run.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset ci
cmake --build --preset ci
bash .ci/tally.sh "every target built with warnings as errors" 1 0 0
