#!/usr/bin/env bash
# Prints a value that a configured build keeps in its CMake cache: the version, the fixed clock's date, and so on.
#
# usage: scripts/cmake_value.sh BUILD_DIR NAME
#   e.g. scripts/cmake_value.sh build/deb CMAKE_PROJECT_VERSION
# Fails, saying why, where the build has no cache or the cache no such value.
set -euo pipefail
[ "$#" -eq 2 ] || { echo "usage: scripts/cmake_value.sh BUILD_DIR NAME" >&2; exit 2; }
cache=$1/CMakeCache.txt
[ -f "$cache" ] || { echo "cmake_value.sh: there is no $cache (configure $1 first)" >&2; exit 1; }
value=$(sed -n "s/^$2:[A-Z]*=//p" "$cache")
[ -n "$value" ] || { echo "cmake_value.sh: $cache holds no $2" >&2; exit 1; }
printf '%s\n' "$value"
