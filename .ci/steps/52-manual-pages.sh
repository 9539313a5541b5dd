#!/usr/bin/env bash
# Checks both manual pages: groff and mandoc find nothing to warn about, and man renders them with the version.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/default # which tests/run_all.sh has built
cmake --preset default >/dev/null
cmake --build "$build" --target hitblow_man_pages >/dev/null
version=$(scripts/cmake_value.sh "$build" CMAKE_PROJECT_VERSION)

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
pages=("$build/man/hitblow.6" "$build/man/ja/hitblow.6")
for page in "${pages[@]}"; do
    echo "-- $page"
    # -k runs preconv, as man does, for the Japanese page's UTF-8.
    groff -k -ww -man -Tutf8 "$page" >/dev/null 2>"$errors"
    if [ -s "$errors" ]; then
        cat "$errors"
        echo "groff warns about $page"
        exit 1
    fi
    mandoc -Tlint "$page"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" >"$errors.out" 2>"$errors"
    if [ -s "$errors" ]; then
        cat "$errors"
        echo "man warns about $page"
        exit 1
    fi
    if ! grep -q "^hitblow $version  *2[0-9-]*  *HITBLOW(6)\$" "$errors.out"; then
        tail -n 3 "$errors.out"
        echo "$page: no footer with the version $version"
        exit 1
    fi
    rm -f "$errors.out"
    echo "groff, mandoc and man: clean; version $version"
done
bash .ci/tally.sh "the manual pages, a page a test" "${#pages[@]}" 0 0
