#!/usr/bin/env bash
# Two builds of the same sources in two build directories give the same
# puzzle15.exe, byte for byte: no link time, no build path, no file times.
# Usage: check_reproducible.sh FIRST_EXE SECOND_EXE
set -euo pipefail
[[ -f $1 && -f $2 ]] || { echo "FAIL: missing $1 or $2 (scripts/windows.sh --tests builds both)"; exit 1; }
if cmp "$1" "$2"; then
    echo "PASS: identical, $(stat -c %s "$1") bytes, sha256 $(sha256sum <"$1" | cut -c1-16)"
else
    echo "FAIL: the two builds differ in $(cmp -l "$1" "$2" | wc -l) bytes"
    exit 1
fi
