#!/usr/bin/env bash
# Runs a test only where the optional tool it needs can run, and skips it otherwise.
#
# usage: require.sh PACKAGE PROBE [ARG...] -- COMMAND [ARG...]
#
# Where PROBE cannot run or fails, prints one line saying what to install and exits 77, which CTest reports
# as skipped; otherwise COMMAND takes this script's place.
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
