#!/usr/bin/env bash
# Fails when clang-format would change the layout of any C++ source (the rules are in .clang-format).
set -euo pipefail
cd "$(dirname "$0")/../.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ "${#files[@]}" -eq 0 ]; then
    echo "no C++ sources found"
    exit 1
fi

clang-format --version
clang-format --dry-run --Werror "${files[@]}"
echo "clang-format: ${#files[@]} files, none would change"
bash .ci/tally.sh "clang-format, a file a test" "${#files[@]}" 0 0
