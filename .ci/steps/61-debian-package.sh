#!/usr/bin/env bash
# Checks the release's Debian package (the step before makes it): its metadata, contents and lintian's verdict,
# then installs it and plays it.
set -euo pipefail
cd "$(dirname "$0")/../.."

[ -d build/release ] || bash scripts/release.sh >/dev/null
version=$(scripts/cmake_value.sh build/release-work/deb CMAKE_PROJECT_VERSION)
arch=$(dpkg --print-architecture)
deb=build/release/hitblow_${version}_${arch}.deb
test -f "$deb"
echo "checking $deb"

dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
check() {
    if [ "$(field "$1")" != "$2" ]; then
        echo "$1 is '$(field "$1")', expected '$2'"
        exit 1
    fi
}
check Package hitblow
check Version "$version"
check Architecture "$arch"
check Section games
check Priority optional
# dpkg-shlibdeps found the shared libraries the game links, the C library at least.
field Depends | grep -q 'libc6 (>= '

dpkg-deb --contents "$deb"
expected="./usr/games/hitblow
./usr/share/doc/hitblow/CHANGELOG.md
./usr/share/doc/hitblow/README.md
./usr/share/doc/hitblow/changelog.gz
./usr/share/doc/hitblow/copyright
./usr/share/man/ja/man6/hitblow.6.gz
./usr/share/man/man6/hitblow.6.gz"
actual=$(dpkg-deb --contents "$deb" | grep -v '^d' | awk '{print $6}' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    diff -u <(echo "$expected") <(echo "$actual") || true
    echo "the package's files are not the expected ones (expected first)"
    exit 1
fi

# Errors and warnings fail the step; informational and pedantic tags are shown.
# Lintian says so when run as root, which CI is; that line is not a finding.
lintian --display-level '>=pedantic' "$deb" 2>&1 | grep -v 'running with root privileges' | tee build/release-work/lintian.txt || true
if grep -q '^[EW]: ' build/release-work/lintian.txt; then
    echo "lintian reports errors or warnings"
    exit 1
fi

# Installed for real, the game runs from /usr/games and quits with status 0.
dpkg -i "$deb"
out=$(mktemp)
trap 'rm -f "$out"; dpkg -r hitblow >/dev/null' EXIT
status=0
echo -1 | /usr/games/hitblow >"$out" || status=$?
if [ "$status" -ne 0 ] || ! iconv -f CP932 -t UTF-8 "$out" | cmp -s - tests/transcripts/quit_at_first_menu.out; then
    echo "the installed game printed:"
    iconv -f CP932 -t UTF-8 "$out"
    echo "with status $status; expected the quit_at_first_menu transcript and status 0"
    exit 1
fi
echo "installed hitblow $version; /usr/games/hitblow quits with status 0"
bash .ci/tally.sh "the Debian package: its fields, files, lintian and the installed game" 4 0 0
