#!/usr/bin/env bash
# A run-time error in a handler is reported on standard error and in the
# debug output, where a debugger or DebugView shows it (Wine shows it on its
# debugstr channel), and the program goes on.
# Usage: check_error_report.sh WINE_RUN PREFIX REPORT_ERROR_EXE
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
WINEDEBUG=warn+debugstr "$1" "$2" "$3" >"$work/out" 2>"$work/err" || status=$?
failed=0
check() {
    if grep -q -- "$2" "$work/$1"; then echo "PASS: $3"; else echo "FAIL: $3"; failed=$((failed + 1)); fi
}
check out 'the next handler ran' "the program goes on after the error"
check err '^Run-time error 6 in Command1_Click: Overflow' "the error on standard error"
check err 'debugstr.*Run-time error 6 in Command1_Click: Overflow' "the error in the debug output"
((status == 0)) || { echo "FAIL: exit status $status"; failed=$((failed + 1)); }
if ((failed)); then
    echo "--- stdout"; cat "$work/out"; echo "--- stderr"; grep -v '^[0-9a-f]*:fixme' "$work/err" | head -20
fi
echo "$failed failed"
((failed == 0))
