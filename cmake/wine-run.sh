#!/usr/bin/env bash
# Runs a Windows program under Debian's Wine, in a Wine prefix kept in a folder of its own.
#
# usage: wine-run.sh PREFIX_DIR PROGRAM.exe [ARG...]
#
# The prefix is made on first use (a fresh one each time PREFIX_DIR is
# removed) and shared by later runs, because making one takes many seconds.
# Standard input, standard output and the exit status are the program's own;
# Wine's own diagnostics are silenced.  Works as root and with no terminal.
set -euo pipefail
prefix=$1
shift
case $prefix in
/*) ;;
*) prefix=$PWD/$prefix ;; # Wine takes only an absolute path
esac

wine=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No Mono or Gecko: a console program needs neither, and Wine would offer to
# download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$prefix"
# Several tests may start at once: the first one makes the prefix, the
# others wait for it.
exec 9>"$prefix.lock"
flock 9
if [ ! -e "$prefix/system.reg" ]; then
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    "$WINESERVER" --wait </dev/null >/dev/null 2>&1 || true
fi
# A Wine server that outlives the program must not hold on to the caller's
# output, or whoever reads it (ctest, a pipe) would wait for it to go away.
# So start it here, detached, and let it linger a few seconds between runs.
"$WINESERVER" --persistent=5 </dev/null >/dev/null 2>&1 || true
flock -u 9
exec 9>&-

exec "$wine" "$@"
