#!/usr/bin/env bash
# Builds the browser site, as the web preset does, into a folder of a native build, for its browser tests.
#
# usage: build_site.sh SOURCE_DIR BUILD_DIR
# Skipped (exit status 77, with one line saying why) where xterm.js is
# missing; CMake runs it only where emcc can run.
set -eu
src=$1 build=$2

if [ ! -e "$src/node_modules/@xterm/xterm/lib/xterm.js" ]; then
    echo "skipped: xterm.js is not installed (run npm ci at the top of the source tree)"
    exit 77
fi
cd "$src"
cmake --preset web -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2
