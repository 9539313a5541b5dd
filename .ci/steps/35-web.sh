#!/usr/bin/env bash
# Builds the browser site with the web preset, and checks that a cold visit fetches at most 30 KiB of it,
# gzip-compressed, the icons apart.  Its browser tests have run in the README's test command, over the same site.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset web -DBUILD_TESTING=OFF
cmake --build --preset web
# What a first visit fetches: every file but the icons, which the browser
# fetches for an install, and the service worker's own checks, which fetch
# headers alone.
total=0
for file in build/web/site/*; do
    case $(basename "$file") in icon*) continue ;; esac
    size=$(gzip -9c "$file" | wc -c)
    printf '%8d  %s\n' "$size" "$(basename "$file")"
    total=$((total + size))
done
echo "a cold visit: $total bytes, gzip-compressed, of at most $((30 * 1024))"
[ "$total" -le $((30 * 1024)) ]
bash .ci/tally.sh "the site's cold visit, within its size" 1 0 0
