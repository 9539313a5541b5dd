#!/usr/bin/env bash
# Runs a test only where the optional tool it needs can run, and skips it otherwise.
#
# usage: require.sh PACKAGE PROBE [ARG...] -- COMMAND [ARG...]
#
# PROBE is run first, with no input and its output thrown away.  When it
# cannot run or fails, the test prints one line saying what is missing and how
# to get it, and exits with 77, which CTest reports as a skipped test.
# Otherwise COMMAND takes the place of this script.
set -u
package=$1
shift
probe=()
while [ "$#" -gt 0 ] && [ "$1" != -- ]; do
    probe+=("$1")
    shift
done
shift

if ! "${probe[@]}" </dev/null >/dev/null 2>&1; then
    echo "skipped: ${probe[0]} cannot run here (install it with: apt-get install $package)"
    exit 77
fi
exec "$@"
