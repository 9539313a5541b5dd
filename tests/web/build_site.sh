#!/usr/bin/env bash
# Builds the browser site, as the web preset does, into a folder of a native build, for its browser tests.
#
# usage: build_site.sh SOURCE_DIR BUILD_DIR
# CMake runs it only where emcc can run.
set -eu
src=$1 build=$2

cd "$src"
cmake --preset web -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(scripts/cmake_value.sh "$build" HITBLOW_JOBS)"
