#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (no
# recovery) and runs every test on that build but the browser tests, which
# play the web preset's site and not this build: the robustness tests on
# garbage input included.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash .ci/workflow.sh asan
