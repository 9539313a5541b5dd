#!/usr/bin/env bash
# Builds every target again with warnings as errors, and runs the tests of that build.
set -euo pipefail
bash .ci/workflow.sh ci
