#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (no
# recovery) and runs the whole test suite on that build, the robustness test
# on garbage input included.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash .ci/workflow.sh asan
