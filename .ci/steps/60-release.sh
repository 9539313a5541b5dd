#!/usr/bin/env bash
# Makes the release twice, here and in a fresh clone of the same commit, and
# checks that the two are the same to the byte; then checks what is in it:
# SHA256SUMS, the Windows zip's hitblow.exe playing every transcript under
# Wine, the browser zip's site in Chromium, and the sources being the
# commit's files (which the README replay builds).  The Debian package is
# checked by the next step.
set -euo pipefail
cd "$(dirname "$0")/../.."

bash scripts/release.sh
version=$(scripts/cmake_value.sh build/release-work/deb CMAKE_PROJECT_VERSION)
fixed_date=$(scripts/cmake_value.sh build/release-work/deb HITBLOW_FIXED_DATE)

other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
git clone -q . "$other/clone"
(cd "$other/clone" && bash scripts/release.sh >/dev/null)
if ! cmp -s build/release/SHA256SUMS "$other/clone/build/release/SHA256SUMS"; then
    diff build/release/SHA256SUMS "$other/clone/build/release/SHA256SUMS" || true
    echo "two releases of the same commit differ"
    exit 1
fi
echo "a second release, made in $other/clone, is the same to the byte"
(cd build/release && sha256sum -c SHA256SUMS)

# The zip's hitblow.exe, as a Windows player gets it, plays every transcript.
# It reads the real clock, so faketime stops the clock at the transcripts'
# second (the fixed clock of CMakeLists.txt) in the game's own process alone: the Wine
# server's timers must run, and the times of files, which Wine compares
# with those of its prefix, stay true.
unzip -q "build/release/hitblow-$version-win64.zip" -d "$other/win64"
exe=$other/win64/hitblow-$version-win64/hitblow.exe
prefix=$other/wine-prefix
cmake/wine-run.sh "$prefix" "$exe" </dev/null >/dev/null # makes the Wine prefix, on the true clock
played=0
for transcript in tests/transcripts/*.in; do
    bash tests/run_transcript.sh "${transcript%.in}" crlf \
        env TZ=UTC NO_FAKE_STAT=1 FAKETIME_SKIP_CMDS=wineserver,wineserver64 faketime -f "$fixed_date" \
        cmake/wine-run.sh "$prefix" "$exe"
    played=$((played + 1))
done
echo "the zip's hitblow.exe played $played transcripts under Wine"
bash .ci/tally.sh "the release's hitblow.exe, a transcript a test" "$played" 0 0

# The browser zip's site plays the README's game.
unzip -q "build/release/hitblow-$version-web.zip" -d "$other/web"
HITBLOW_FIXED_CLOCK=$(scripts/cmake_value.sh build/release-work/deb HITBLOW_FIXED_CLOCK) \
    node tests/web/browser_test.mjs chromium "$other/web/hitblow-$version-web" README.md readme_game offline |
    tee "$other/web.log"
bash .ci/tally.sh "the release's site, a scenario a test" "$(grep -c ': passed in ' "$other/web.log")" 0 0

# The sources are the commit's files, to the byte.
tar -xzf "build/release/hitblow-$version.tar.gz" -C "$other"
git archive --prefix=commit/ HEAD | tar -x -C "$other"
diff -r "$other/commit" "$other/hitblow-$version"
echo "the source archive holds the commit's $(git ls-files | wc -l) files"
bash .ci/tally.sh "the release's source archive" 1 0 0
