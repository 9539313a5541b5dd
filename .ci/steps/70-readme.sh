#!/usr/bin/env bash
# Replays the README on a fresh Debian 12 root: its quick start, its browser section up to the server, its npm
# set-up and its package section, each command as written.
#
# usage: .ci/steps/70-readme.sh [README.md]
#
# Makes a root with `debootstrap --variant=minbase`, installs only cmake, g++,
# git and ca-certificates, clones the commit into it, and runs, as root in
# that root with no standard input, the code blocks that the README marks
# with `<!-- replay: SECTION -->`, in order: they are read from the README,
# not copied here, so what a newcomer reads is what runs.  The browser
# section's last command, its web server, is started in the background, and
# the site's page and game are fetched from it.  The root gets the host's apt
# sources and CA certificates (a network that inspects TLS needs them) and
# nothing else.  After the npm set-up, which brings Debian's own Node.js and
# npm, it installs Chromium alone and has it play the README's game in the
# site the browser section built: proof that the npm packages are there and
# drive a browser; then runs the page modules' Node tests on that Node.js.
# The tests that the replayed commands run, most of them skipped there for
# want of their tools, are counted as the replay's own, and so are the
# browser tests that ran and were skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."
readme=${1:-README.md}

root=$(mktemp -d /var/tmp/hitblow-readme.XXXXXX)
replay_log=$(mktemp)
node_log=$(mktemp)
cleanup() {
    rm -f "$replay_log" "$node_log"
    for mount in dev/pts dev proc sys; do
        mountpoint -q "$root/$mount" && umount -l "$root/$mount"
    done
    rm -rf "$root"
}
trap cleanup EXIT

# blocks SECTION: prints the commands of the README's blocks marked SECTION.
blocks() {
    awk -v mark="<!-- replay: $1 -->" '
        $0 == mark { armed = 1; next }
        armed && /^```/ { if (inside) { armed = 0; inside = 0 } else inside = 1; next }
        inside { print }' "$readme"
}
sections=('quick start' browser npm package)
for section in "${sections[@]}"; do
    [ -n "$(blocks "$section")" ] || { echo "the README marks no block '$section' to replay"; exit 1; }
done

echo "== a fresh Debian 12 root in $root"
start=$(date +%s)
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
    { tail -20 "$root.log"; exit 1; }
rm -f "$root.log"
if [ -d /etc/apt/sources.list.d ]; then # the host's sources, in place of debootstrap's own
    rm -f "$root/etc/apt/sources.list"
    cp /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list "$root/etc/apt/sources.list.d/" 2>/dev/null || true
fi
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
mkdir -p "$root/usr/local/share/ca-certificates"
cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/" 2>/dev/null || true
cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/" 2>/dev/null || true
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"

# in_root COMMANDS: runs COMMANDS with bash, as root in the new root, from the
# top of the checkout, with a plain environment and no standard input.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        ${NODE_EXTRA_CA_CERTS:+NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt} \
        bash -euo pipefail -c "cd /root/hitblow 2>/dev/null || cd /root; $1" </dev/null
}

echo "== cmake, g++, git and ca-certificates, and nothing else"
in_root 'apt-get update -qq && apt-get install -y -qq cmake g++ git ca-certificates >/dev/null'
git clone -q --no-hardlinks "$PWD" "$root/root/hitblow"
git -C "$root/root/hitblow" checkout -q "$(git rev-parse HEAD)"

for section in "${sections[@]}"; do
    commands=$(blocks "$section")
    server=''
    if [ "$section" = browser ]; then
        server=$(grep '^python3 -m http.server' <<<"$commands")
        commands=$(grep -v '^python3 -m http.server' <<<"$commands")
    fi
    echo "== the README's $section, as written:"
    printf '%s\n' "$commands" | sed 's/^/    /'
    in_root "set -x; $commands" 2>&1 | tee -a "$replay_log"
    if [ -n "$server" ]; then
        echo "== its server, and the site fetched from it: $server"
        in_root "$server >/dev/null 2>&1 & server=\$!
            fetch() {
                python3 -c 'import sys, urllib.request; sys.exit(urllib.request.urlopen(sys.argv[1]).status != 200)' \"\$1\"
            }
            for try in \$(seq 50); do fetch http://localhost:8000/ 2>/dev/null && break; sleep 0.2; done
            for file in '' hitblow.wasm service_worker.js manifest.webmanifest; do
                fetch http://localhost:8000/\$file
                echo \"served: /\$file\"
            done
            kill \$server"
    fi
    if [ "$section" = npm ]; then
        echo "== Chromium alone, and the README's game played in it"
        in_root 'echo "Node.js $(node --version), npm $(npm --version)"
            apt-get install -y -qq chromium >/dev/null
            HITBLOW_FIXED_CLOCK=$(scripts/cmake_value.sh build/web HITBLOW_FIXED_CLOCK) \
                node tests/web/browser_test.mjs chromium build/web/site README.md readme_game' 2>&1 | tee -a "$replay_log"
        echo "== the page modules' Node tests, on that Node.js"
        in_root 'timeout 600 node --test --test-reporter=tap $(ls tests/web/*.test.mjs | grep -v skips)' 2>&1 | tee "$node_log" | grep -E '^(not )?ok |^# (pass|fail)'
    fi
done
echo "== the README replayed on a fresh root in $(($(date +%s) - start)) s"
played=$(grep -c '^readme_game: passed in chromium' "$replay_log" || true)
[ "$played" -eq 1 ] || { echo "Chromium did not play the README's game on the fresh root"; exit 1; }
browser_skipped=$(grep -cE '^[[:space:]]*[0-9]+ - web\..* \(Skipped\)$' "$replay_log" || true)
echo "browser tests on the fresh root: $played ran (Chromium played the README's game), $browser_skipped skipped (in the quick start and the browser section, before the npm set-up and the browsers)"
bash .ci/tally.sh "the README replay's tests, on the fresh root" --ctest "$replay_log"
bash .ci/tally.sh "the README replay's browser test, after its npm set-up" "$played" 0 0
node_passed=$(sed -n 's/^# pass //p' "$node_log")
node_failed=$(sed -n 's/^# fail //p' "$node_log")
bash .ci/tally.sh "the page modules' Node tests, on the fresh root's Node.js" "${node_passed:-0}" "${node_failed:-1}" 0
[ "${node_passed:-0}" -gt 0 ] && [ "${node_failed:-1}" -eq 0 ] || { echo "the page modules' Node tests failed on the fresh root"; exit 1; }
