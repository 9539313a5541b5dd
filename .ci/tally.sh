#!/usr/bin/env bash
# Counts the tests CI runs, step by step, for the one closing line of its log.
#
# usage: .ci/tally.sh WHAT PASSED FAILED SKIPPED   adds counts given by a step
#        .ci/tally.sh WHAT --ctest LOG             adds the counts of every CTest run whose output LOG holds
#        .ci/tally.sh --total                      prints the sums: "N passed, N failed, N skipped"
#
# Each addition is printed, as WHAT's own summary, and where CI_TALLY names a
# file (.ci/run sets it) also goes there, a line each ("PASSED FAILED SKIPPED
# WHAT"); a step run alone, without it, prints its summary all the same.
# CTest counts a skipped test in the total of its summary line ("... tests
# failed out of T") and lists it under "did not run" as (Skipped).
set -euo pipefail

if [ "$1" = --total ]; then
    : "${CI_TALLY:?CI_TALLY names the file of counts (.ci/run sets it)}"
    awk '{ p += $1; f += $2; s += $3 } END { printf "%d passed, %d failed, %d skipped\n", p, f, s }' "$CI_TALLY"
    exit 0
fi
what=$1
if [ "$2" = --ctest ]; then
    read -r passed failed skipped < <(awk '
        /tests passed, [0-9]+ tests? failed out of [0-9]+/ {
            for (i = 1; i <= NF; i++) {
                if ($i == "failed" && $(i + 1) == "out") { f += $(i - 2); t += $(i + 3) }
            }
        }
        /^[ \t]*[0-9]+ - .* \(Skipped\)$/ { s++ }
        END { printf "%d %d %d\n", t - f - s, f, s }' "$3")
else
    passed=$2 failed=$3 skipped=$4
fi
[ -z "${CI_TALLY:-}" ] || echo "$passed $failed $skipped $what" >>"$CI_TALLY"
echo "$what: $passed passed, $failed failed, $skipped skipped"
