#!/usr/bin/env bash
# CPack makes puzzle15_1.00_<arch>.deb whose Depends name the Qt and C++
# libraries the program links, and which unpacks into a root with the
# program, the menu entry, the icons and the metadata in their places.
# Usage: check_deb.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2
id=org.example.puzzle15

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$work/out/puzzle15_1.00_${arch}.deb
[[ -f $deb ]] || fail "no package $(basename "$deb"); made: $(ls "$work/out")"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == puzzle15 ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == 1.00 ]] || fail "Version is '$(field Version)'"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
    grep -Eq "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks a versioned $library: $depends"
done

# The contents list.
expected=(
    ./usr/bin/puzzle15
    ./usr/share/applications/$id.desktop
    ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/icons/hicolor/32x32/apps/$id.png
    ./usr/share/icons/hicolor/64x64/apps/$id.png
    ./usr/share/icons/hicolor/128x128/apps/$id.png
    ./usr/share/icons/hicolor/256x256/apps/$id.png
)
contents=$(dpkg-deb -c "$deb")
listed=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sort)
[[ $listed == "$(printf '%s\n' "${expected[@]}" | sort)" ]] || fail "files in the package:
$listed"
grep -q '^-rwxr-xr-x root/root .* \./usr/bin/puzzle15$' <<<"$contents" || fail "the program is not an executable owned by root"

# Unpacked into a temporary root.
dpkg -x "$deb" "$work/root"
for path in "${expected[@]}"; do
    [[ -s $work/root/$path ]] || fail "$path missing after dpkg -x"
done
file -b "$work/root/usr/bin/puzzle15" | grep -q 'ELF.*, stripped' || fail "the packaged program is not a stripped ELF file"
cmp -s "$work/root/usr/share/icons/hicolor/32x32/apps/$id.png" "$(dirname "$0")/../../resources/icon-32.png" \
    || fail "the 32x32 icon is not resources/icon-32.png"

echo "$(basename "$deb"): Depends: $depends"
