#!/usr/bin/env bash
# Makes a release in build/release: the Debian package, a Windows zip, the browser site, the sources and their SHA256SUMS.
#
# usage: scripts/release.sh    (from the top of a checkout, with no changes
#                              to its tracked files)
#
# Everything is built from the commit checked out, with the time stamps of
# that commit (SOURCE_DATE_EPOCH), files in a fixed order and with fixed
# permissions, and nothing of the build's folder or time inside: two releases
# of the same commit, made in two folders, have the same SHA256SUMS.  It
# takes three toolchains, one build each, in build/release-work:
#   hitblow_VERSION_ARCH.deb   the Debian package (the deb preset)
#   hitblow-VERSION-win64.zip  hitblow.exe (MinGW-w64, static) and its documents, CR LF
#   hitblow-VERSION-web.zip    the static site for any web host (the web preset)
#   hitblow-VERSION.tar.gz     the sources, as git archive makes them
set -euo pipefail

die() {
    echo "release.sh: $*" >&2
    exit 1
}

[ -f CMakeLists.txt ] && [ -f scripts/release.sh ] || die "run it from the top of the source tree"
git rev-parse --git-dir >/dev/null 2>&1 || die "a release is made from a git checkout"
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    die "the tracked files have changes: a release is made from a commit, so commit them first"
# Every tool the release takes, with the Debian package that brings it, checked
# before anything is built.
missing=()
need() {
    command -v "$1" >/dev/null 2>&1 || missing+=("$2")
}
need cmake cmake
need c++ g++
need x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64
need emcc emscripten
need rsvg-convert librsvg2-bin
need dpkg-shlibdeps dpkg-dev
need file file
need man man-db
need col bsdextrautils
need zip zip
need gzip gzip
need sha256sum coreutils
[ "${#missing[@]}" -eq 0 ] ||
    die "missing tools: apt-get install -y ${missing[*]} (or all CI has: apt-get install -y \$(grep -v '^#' .ci/packages.txt))"

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
out=build/release
work=build/release-work
rm -rf "$out" "$work"
mkdir -p "$out" "$work"

step() { printf '\n== %s\n' "$*"; }

step "the Debian package"
cmake --preset deb -B "$work/deb" >/dev/null
cmake --build "$work/deb" -j "$(nproc)"
version=$(scripts/cmake_value.sh "$work/deb" CMAKE_PROJECT_VERSION)
(cd "$work/deb" && cpack -G DEB >/dev/null)
cp "$work/deb"/hitblow_"$version"_*.deb "$out/"

# The manual pages as plain text, as man shows them in a UTF-8 locale.
render() {
    MANWIDTH=80 man -l "$1" 2>/dev/null | col -bx
}

# zip_tree DIR ZIP: packs everything below DIR into ZIP, DIR's own name
# first in every path, with the commit's time and fixed permissions on every
# file, in name order and with no extra fields.
zip_tree() {
    local dir=$1 zip=$2
    find "$dir" -type d -exec chmod 755 {} +
    find "$dir" -type f -exec chmod 644 {} +
    find "$dir" -type f -name '*.exe' -exec chmod 755 {} +
    find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    (cd "$(dirname "$dir")" && find "$(basename "$dir")" -type f | LC_ALL=C sort |
        zip -q -X -D "$zip" -@)
}

step "the Windows zip"
cmake --preset windows -B "$work/windows" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/windows" -j "$(nproc)" --target hitblow
win=$work/zip/hitblow-$version-win64
mkdir -p "$win"
x86_64-w64-mingw32-strip -o "$win/hitblow.exe" "$work/windows/hitblow.exe"
crlf() { sed 's/\r$//; s/$/\r/'; }
crlf <README.md >"$win/README.txt"
crlf <LICENSE >"$win/LICENSE.txt"
crlf <CHANGELOG.md >"$win/CHANGELOG.txt"
render "$work/deb/man/hitblow.6" | crlf >"$win/hitblow.txt"
render "$work/deb/man/ja/hitblow.6" | crlf >"$win/hitblow-ja.txt"
zip_tree "$win" "$PWD/$out/hitblow-$version-win64.zip"

step "the browser site"
cmake --preset web -B "$work/web" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$work/web" -j "$(nproc)"
site=$work/zip/hitblow-$version-web
cp -r "$work/web/site" "$site"
zip_tree "$site" "$PWD/$out/hitblow-$version-web.zip"

step "the sources"
git archive --format=tar.gz --prefix="hitblow-$version/" -o "$out/hitblow-$version.tar.gz" HEAD

(cd "$out" && sha256sum -- * >SHA256SUMS.tmp && mv SHA256SUMS.tmp SHA256SUMS)
step "release $version in $out"
cat "$out/SHA256SUMS"
