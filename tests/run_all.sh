#!/usr/bin/env bash
# Builds everything and runs every test, then names each skipped test and why: the test command of the README.
#
# usage: tests/run_all.sh [PRESET]   (from the top of the source tree; PRESET: a workflow preset, default)
#
# Runs `cmake --workflow --preset PRESET`, for the default preset after building the web preset's site,
# which the browser tests play, where emcc runs.  A skipped test printed "skipped: WHY", which CTest
# hides; the reasons are printed again as the last lines.  Exits with the workflow's status.
set -u
preset=${1:-default}
if [ "$preset" = default ] && emcc --version >/dev/null 2>&1; then
    { cmake --preset web >/dev/null && cmake --build --preset web; } || exit
fi
cmake --workflow --preset "$preset"
status=$?
log=build/$preset/Testing/Temporary/LastTest.log # every preset builds in build/PRESET
[ -f "$log" ] && awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $3 }
    /^skipped: / && name != "" {
        why = substr($0, 10)
        if (!(why in tests))
            order[++count] = why
        tests[why] = tests[why] (tests[why] == "" ? "" : ", ") name
        name = ""
    }
    /^<end of output>$/ { name = "" }
    END {
        if (count == 0)
            exit
        print "\nSkipped, and why (install what is named, then run this again):"
        for (i = 1; i <= count; i++)
            printf "  %s\n      (%s)\n", order[i], tests[order[i]]
    }' "$log"
exit "$status"
