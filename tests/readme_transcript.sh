#!/usr/bin/env bash
# Checks the short game shown in README.md against what the game really prints.
#
# usage: readme_transcript.sh README.md COMMAND [ARG...]
#
# The block after "<!-- transcript" is split back into the two streams: what
# follows a prompt on its line was typed, the rest was printed.  The typed
# part is fed to COMMAND, whose output, from Shift-JIS with CRs removed, must
# equal the printed part.
set -u
readme=$1
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sed -n '/^<!-- transcript/,/^```$/p' "$readme" | sed '1,2d;$d' >"$work/block"
if [ ! -s "$work/block" ]; then
    echo "no transcript block found in $readme"
    exit 1
fi

# The prompts all end in one of these, with nothing printed after them.
LC_ALL=C awk -v typed="$work/typed" '
    match($0, /^.*(難易度|つ目の数字|桁\)|回\)):/) {
        printf "%s", substr($0, 1, RLENGTH)
        print substr($0, RLENGTH + 1) > typed
        next
    }
    { print }
' "$work/block" >"$work/expected"
if [ ! -s "$work/typed" ]; then
    echo "the transcript block shows no typed input"
    exit 1
fi

timeout 60 "$@" <"$work/typed" >"$work/raw"
status=$?
iconv -f CP932 -t UTF-8 "$work/raw" | tr -d '\r' >"$work/actual" || exit 1

if ! cmp -s "$work/expected" "$work/actual"; then
    echo "the README's transcript differs from the game's output (README first, typed input removed):"
    diff -u <(sed 's/$/$/' "$work/expected") <(sed 's/$/$/' "$work/actual") | head -n 60
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "exit status $status, expected 0"
    exit 1
fi
echo "README transcript matches: $(wc -l <"$work/typed") typed lines, $(wc -l <"$work/expected") lines shown"
