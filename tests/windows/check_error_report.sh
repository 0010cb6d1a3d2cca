#!/usr/bin/env bash
# A run-time error in a handler is reported on standard error and in the
# debug output, where a debugger or DebugView shows it (Wine shows it on its
# debugstr channel), and the program goes on.
# Usage: check_error_report.sh WINE_RUN PREFIX REPORT_ERROR_EXE
#
# Qt sends its own report to standard error when a console is attached and
# to the debug output when none is; the program sends the other copy. Run
# with a console (a pseudo-terminal, through script) the program's copy goes
# to the debug output, which Wine logs; run with pipes it goes to standard
# error. (Qt's copy to the debug output is the wide-character call, which
# Wine 8 does not log.)
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {
    if grep -q -- "$2" "$work/$1"; then echo "PASS: $3"; else echo "FAIL: $3"; failed=$((failed + 1)); fi
}
line='Run-time error 6 in Command1_Click: Overflow'

status=0
WINEDEBUG=warn+debugstr "$1" "$2" "$3" >"$work/out" 2>"$work/err" </dev/null || status=$?
check out 'the next handler ran' "without a console, the program goes on after the error"
check err "^$line" "without a console, the error on standard error"
((status == 0)) || { echo "FAIL: exit status $status without a console"; failed=$((failed + 1)); }

status=0
printf -v command '%q ' "$1" "$2" "$3"
WINEDEBUG=warn+debugstr script -qec "$command" /dev/null >"$work/tty" 2>&1 </dev/null || status=$?
# The terminal's copy has Wine's cursor codes between the letters, and
# blanks as cursor moves: compare the console's text without them.
sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' "$work/tty" >"$work/console"
tr -d ' ' <"$work/console" >"$work/screen"
check screen 'thenexthandlerran' "with a console, the program goes on after the error"
check screen "^${line// /}" "with a console, the error on the console"
check console "debugstr.*$line" "with a console, the error in the debug output"
((status == 0)) || { echo "FAIL: exit status $status with a console"; failed=$((failed + 1)); }

if ((failed)); then
    for f in out err console; do echo "--- $f"; grep -v '^[0-9a-f]*:fixme' "$work/$f" | head -20; done
fi
echo "$failed failed"
((failed == 0))
