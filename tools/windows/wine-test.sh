#!/usr/bin/env bash
# wine-test.sh <test.exe> [arguments]: runs a QtTest executable built for Windows under Wine and
# prints its results. What QtTest writes to the console is lost under Wine, so the results go to a
# file that is printed afterwards; the exit status is the test's. Wine's own output goes to a file
# as well: services Wine starts on the side would otherwise hold CTest's pipe open after the end.
# wine-test.sh --plain <program.exe> [arguments]: the same for a program that is no QtTest program
# (it takes no results file and prints its own output).
set -uo pipefail
results=$(mktemp --suffix=.txt)
log=$(mktemp --suffix=.log)
qtest=(-o "Z:$results,txt")
if [ "${1:-}" = --plain ]; then
    shift
    qtest=()
fi
"$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" "$@" "${qtest[@]}" </dev/null >"$log" 2>&1
status=$?
cat "$results" "$log"
rm -f "$results" "$log"
exit $status
