#!/usr/bin/env bash
# Checks that a cold visit to the site that the browser tests played (build/web/site, which tests/run_all.sh builds)
# fetches at most 30 KiB of it, gzip-compressed: every file but the PNG icons, fetched for an install only (icon.svg
# is the page's favicon too, and counts).
set -euo pipefail
cd "$(dirname "$0")/../.."

[ -f build/web/site/hitblow.wasm ] || { echo "there is no site in build/web/site: run tests/run_all.sh first"; exit 1; }
total=0
for file in build/web/site/*; do
    case $(basename "$file") in icon-*.png) continue ;; esac
    size=$(gzip -9c "$file" | wc -c)
    printf '%8d  %s\n' "$size" "$(basename "$file")"
    total=$((total + size))
done
echo "a cold visit: $total bytes, gzip-compressed, of at most $((30 * 1024))"
[ "$total" -le $((30 * 1024)) ]
bash .ci/tally.sh "the site's cold visit, within its size" 1 0 0
