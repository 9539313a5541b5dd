#!/usr/bin/env bash
# Builds the browser site with Emscripten (the web preset) and plays it in Chromium with Playwright.
set -euo pipefail
cd "$(dirname "$0")/../.."

bash .ci/workflow.sh web
ls -l build/web/site
