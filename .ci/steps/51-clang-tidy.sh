#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source file of the project that a build compiles.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/tidy
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

# The project's own files from the compilation database: not GoogleTest's
# sources when it is built from source, nor anything generated in the build.
root=$(pwd)
mapfile -t files < <(grep -o '"file": "[^"]*"' "$build/compile_commands.json" | cut -d'"' -f4 |
    grep "^$root/" | grep -v "^$root/build/" | sort -u)
if [ "${#files[@]}" -eq 0 ]; then
    echo "no source files in $build/compile_commands.json"
    exit 1
fi

clang-tidy --version
# As many at a time as the presets say.  Any finding is an error (.clang-tidy
# sets WarningsAsErrors), and xargs then exits non-zero.  The count of
# suppressed warnings that clang-tidy prints for each file is left out.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(scripts/cmake_value.sh "$build" HITBLOW_JOBS)" clang-tidy -p "$build" --quiet >"$log" 2>&1 || status=$?
grep -v '^[0-9]* warnings generated\.$' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "clang-tidy has findings"
    exit 1
fi
echo "clang-tidy: ${#files[@]} files, no findings"
bash .ci/tally.sh "clang-tidy, a file a test" "${#files[@]}" 0 0
