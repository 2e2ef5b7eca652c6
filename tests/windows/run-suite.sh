#!/usr/bin/env bash
# Runs one test suite of the Windows build under Wine (through the build's
# wine-run) and shows its report. QtTest suites write their report to a file
# (under Wine their standard output is not passed on), printed here.
#   run-suite.sh WINE_RUN gtest|qtest PROGRAM.exe
set -uo pipefail
wine_run="$1" kind="$2" program="$3"
if [ "$kind" = gtest ]; then
  exec "$wine_run" "$program"
fi
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
# Wine does not pass QT_* variables on: the platform goes as an argument.
"$wine_run" "$program" -platform offscreen -o "Z:$report,txt" >/dev/null 2>&1
rc=$?
grep -v '^PASS   :\|^QWARN  :\|^QDEBUG :\|^INFO   :' "$report" 2>/dev/null
exit $rc
