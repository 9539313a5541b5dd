#!/usr/bin/env bash
# Runs a command with the Orca screen reader listening on a fresh accessibility bus, its debug log in ORCA_LOG.
#
# xvfb-run -a dbus-run-session -- bash with_orca.sh COMMAND [ARG...] starts the AT-SPI bus and Orca with speech off,
# in a runtime folder of their own, runs COMMAND once Orca has started, with ORCA_LOG naming Orca's log (CR LF line
# ends; kept where ORCA_LOG names it already), then stops Orca and exits with COMMAND's status.
set -u
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
export ORCA_LOG=${ORCA_LOG:-$XDG_RUNTIME_DIR/orca.log} # given, it is kept for a look
cleanup() {
    [ -n "${orca:-}" ] && kill -- "-$orca" 2>/dev/null # script and Orca, its own process group
    [ -n "${bus:-}" ] && kill -9 "$bus" 2>/dev/null # its bus goes with the session's
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
gsettings set org.gnome.desktop.a11y.applications screen-reader-enabled true 2>/dev/null
# Orca writes its debug log through Python's buffer, in 8 KB blocks, unless
# the log is a terminal: so it writes to a pseudo-terminal of script(1),
# which copies each line to the log as it comes.
rm -f "$ORCA_LOG" # one kept from an earlier run would say that this Orca has started
setsid script -q -f -e -c 'exec orca --replace -d speech --debug-file /dev/tty' "$ORCA_LOG" </dev/null >/dev/null 2>&1 &
orca=$!
for _ in $(seq 300); do
    grep -qs 'ORCA: Startup complete' "$ORCA_LOG" && break
    sleep 0.1
done
if ! grep -qs 'ORCA: Startup complete' "$ORCA_LOG"; then
    echo "Orca did not start within 30 s" >&2
    exit 1
fi
sleep 1 # for Orca to find the desktop
"$@"
