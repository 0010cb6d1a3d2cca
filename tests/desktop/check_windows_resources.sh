#!/usr/bin/env bash
# The generated Windows resource script compiles with the MinGW resource
# compiler, into a COFF object as a Windows build links it, and carries the
# 32x32 256-colour icon with its mask (and larger true-colour images), the
# version record "1.00" and the application manifest.
# Usage: check_windows_resources.sh RC_FILE
set -euo pipefail
rc=$1
windres=x86_64-w64-mingw32-windres
objdump=x86_64-w64-mingw32-objdump

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# windres preprocesses with the MinGW C compiler unless told otherwise; the
# host's preprocessor does as well, as the script needs no Windows headers.
"$windres" --preprocessor=cpp -i "$rc" -O coff -o "$work/puzzle15_rc.o" || fail "windres cannot compile $rc"
"$objdump" -h "$work/puzzle15_rc.o" | grep -q '\.rsrc' || fail "the object has no .rsrc section"

# Read the compiled resources back as a script.
"$windres" --preprocessor=cpp -i "$rc" -O res -o "$work/puzzle15.res"
"$windres" -J res -i "$work/puzzle15.res" -O rc -o "$work/back.rc"
expect() { grep -Fq -- "$1" "$work/back.rc" || fail "no '$1' in the compiled resources:
$(grep -v '^  0x' "$work/back.rc")"; }

# One icon group. Its first image: 32x32, 256 colours (colour count 0), 1
# plane, 8 bits per pixel, 2216 bytes = header 40 + palette 1024 + image
# 1024 + transparency mask 128. Then 64, 128 and 256 (written 0) pixels in
# 32 bits.
expect '"IDI_ICON1" 14 /* RT_GROUP_ICON */'
expect 'Has 4 elements.'
expect '"\040\040\000\000", 1, 8, 0x8a8L, 1,	/* Element no 1.  */'
expect '"\100\100\000\000", 1, 32,'
expect '"\200\200\000\000", 1, 32,'
expect '"\000\000\000\000", 1, 32,'
expect '/* RT_ICON */'

expect ' FILEVERSION 1, 0, 0, 0'
expect ' PRODUCTVERSION 1, 0, 0, 0'
expect 'VALUE "FileVersion", "1.00"'
expect 'VALUE "ProductVersion", "1.00"'
expect 'VALUE "OriginalFilename", "puzzle15.exe"'
# "Пъзел 15" in UTF-16.
expect 'VALUE "ProductName", L"\x041f\x044a\x0437\x0435\x043b 15"'
expect 'VALUE "Translation", 0x402, 1200'

# The manifest, as resource 1 of type 24.
expect '1 24 /* RT_MANIFEST */'
# Its version, like the version record's, from the project's.
expect 'name=""org.example.puzzle15"" version=""1.0.0.0""'
expect 'requestedExecutionLevel level=""asInvoker""'
expect 'supportedOS Id=""{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}""'
expect '>PerMonitorV2</dpiAwareness>'
expect '>true/pm</dpiAware>'

echo "compiled: $(grep -c "VALUE \"" "$work/back.rc") version strings, icon $(grep -F '"\040\040' "$work/back.rc" | tr -s ' ')"
