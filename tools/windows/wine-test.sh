#!/usr/bin/env bash
# wine-test.sh <test.exe> [arguments]: runs a QtTest executable built for Windows under Wine and
# prints its results. What QtTest writes to the console is lost under Wine, so the results go to a
# file that is printed afterwards; the exit status is the test's.
set -uo pipefail
results=$(mktemp --suffix=.txt)
"$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" "$@" -o "Z:$results,txt"
status=$?
cat "$results"
rm -f "$results"
exit $status
