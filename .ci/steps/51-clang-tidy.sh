#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source file of the project that the default build compiles.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/default # its compilation database, which tests/run_all.sh has made
[ -f "$build/compile_commands.json" ] || cmake --preset default >/dev/null
# The project's own files, not anything generated in the build.
root=$(pwd)
mapfile -t files < <(grep -o '"file": "[^"]*"' "$build/compile_commands.json" | cut -d'"' -f4 |
    grep "^$root/" | grep -v "^$root/build/" | sort -u)
if [ "${#files[@]}" -eq 0 ]; then
    echo "no source files in $build/compile_commands.json"
    exit 1
fi

clang-tidy --version
# Any finding is an error (.clang-tidy sets WarningsAsErrors), and xargs then
# exits non-zero; the count of suppressed warnings that clang-tidy prints for
# each file is left out.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
grep -v '^[0-9]* warnings generated\.$' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "clang-tidy has findings"
    exit 1
fi
echo "clang-tidy: ${#files[@]} files, no findings"
bash .ci/tally.sh "clang-tidy, a file a test" "${#files[@]}" 0 0
