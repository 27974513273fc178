#!/usr/bin/env bash
# wine-test.sh <test.exe> [arguments]: runs a QtTest executable built for Windows under Wine and
# prints its results. What QtTest writes to the console is lost under Wine, so the results go to a
# file that is printed afterwards; the exit status is the test's. Wine's own output goes to a file
# as well: services Wine starts on the side would otherwise hold CTest's pipe open after the end.
set -uo pipefail
results=$(mktemp --suffix=.txt)
log=$(mktemp --suffix=.log)
"$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" "$@" -o "Z:$results,txt" </dev/null >"$log" 2>&1
status=$?
cat "$results" "$log"
rm -f "$results" "$log"
exit $status
