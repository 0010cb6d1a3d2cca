#!/usr/bin/env bash
# CPack makes puzzle15_1.00_<arch>.deb whose Depends name the Qt and C++
# libraries the program links, which lintian passes without an error or a
# warning, and which unpacks into a root with the program in /usr/games,
# the menu entry, the icons, the metadata, the manual pages, the copyright
# and the changelog in their places.
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
# Debian 13 renamed the libraries whose interface holds a time_t with a
# "t64" suffix (libqt6core6t64, for one).
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
    grep -Eq "(^|, )${library//+/\\+}(t64)? \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks a versioned $library: $depends"
done

# The contents list.
expected=(
    ./usr/games/puzzle15
    ./usr/share/man/man6/puzzle15.6.gz
    ./usr/share/man/bg/man6/puzzle15.6.gz
    ./usr/share/doc/puzzle15/copyright
    ./usr/share/doc/puzzle15/changelog.gz
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
grep -q '^-rwxr-xr-x root/root .* \./usr/games/puzzle15$' <<<"$contents" || fail "the program is not an executable owned by root"
if grep -v '^-rwxr-xr-x .* \./usr/games/puzzle15$' <<<"$contents" | grep -v '^-rw-r--r-- root/root \|^drwxr-xr-x root/root '; then
    fail "the files above are not 644 (directories 755) and owned by root"
fi

# lintian: no error, no warning.
report=$(lintian "$deb" 2>&1) || true
[[ -z $report ]] || echo "$report"
if grep -E '^[EW]: ' <<<"$report"; then fail "lintian reports the errors or warnings above"; fi

# Unpacked into a temporary root.
dpkg -x "$deb" "$work/root"
for path in "${expected[@]}"; do
    [[ -s $work/root/$path ]] || fail "$path missing after dpkg -x"
done
file -b "$work/root/usr/games/puzzle15" | grep -q 'ELF.*, stripped' || fail "the packaged program is not a stripped ELF file"
# The menu entry's command, looked up along Debian's default PATH in the root.
debian_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
command=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/$id.desktop")
found=$(PATH=$(sed "s|[^:]*|$work/root&|g" <<<"$debian_path") command -v "$command") || found=
[[ $found == "$work/root/usr/games/puzzle15" ]] || fail "the menu entry's Exec=$command is not found along $debian_path"
cmp -s "$work/root/usr/share/icons/hicolor/32x32/apps/$id.png" "$(dirname "$0")/../../resources/icon-32.png" \
    || fail "the 32x32 icon is not resources/icon-32.png"

# The manual pages, as `man puzzle15` and `man -L bg puzzle15` show them on
# a UTF-8 terminal and on an ASCII one (the C locale), without a warning
# from groff: every section there, the keys, Latin letters for Cyrillic in
# ASCII.
manual() { MANPATH=$work/root/usr/share/man MANWIDTH=80 man --warnings "$@" puzzle15 2>"$work/man.err"; }
for locale in C.UTF-8 C; do
    english=$(LC_ALL=$locale manual) || fail "man puzzle15 fails in $locale: $(cat "$work/man.err")"
    [[ ! -s $work/man.err ]] || fail "man puzzle15 warns in $locale: $(cat "$work/man.err")"
    bulgarian=$(LC_ALL=$locale manual -L bg) || fail "man -L bg puzzle15 fails in $locale: $(cat "$work/man.err")"
    [[ ! -s $work/man.err ]] || fail "man -L bg puzzle15 warns in $locale: $(cat "$work/man.err")"
    [[ $english != "$bulgarian" ]] || fail "man -L bg shows the English page"
    for text in NAME SYNOPSIS DESCRIPTION OPTIONS "HOW TO PLAY" FILES AUTHOR COPYRIGHT \
                "puzzle15 - the 15 puzzle" "takes no options" Tab Space F2 Ctrl+N Ctrl+Z Backspace Ctrl+Q MIT; do
        grep -qF "$text" <<<"$english" || fail "man puzzle15 in $locale lacks '$text'"
    done
    grep -qF 'PUZZLE15(6)' <<<"$english" || fail "the English page is not in section 6"
done
for text in "ИМЕ" "СИНТАКСИС" "ОПИСАНИЕ" "ОПЦИИ" "КАК СЕ ИГРАЕ" "ФАЙЛОВЕ" "АВТОР" "„Нова игра“" "Ctrl+Z" "MIT"; do
    grep -qF "$text" <<<"$(LC_ALL=C.UTF-8 manual -L bg)" || fail "man -L bg puzzle15 lacks '$text'"
done
grep -qF '"Nova igra"' <<<"$english" || fail "the English page in ASCII does not spell \"Нова игра\" in Latin letters"
grep -qF 'KAK SE IGRAE' <<<"$bulgarian" || fail "the Bulgarian page in ASCII is not in Latin letters"

# The changelog: Debian's format, the release's version and date.
zcat "$work/root/usr/share/doc/puzzle15/changelog.gz" >"$work/changelog"
[[ $(dpkg-parsechangelog -l "$work/changelog" -S Source) == puzzle15 ]] || fail "the changelog is not puzzle15's"
[[ $(dpkg-parsechangelog -l "$work/changelog" -S Version) == 1.00 ]] || fail "the changelog's latest entry is not 1.00"
release=$(sed -n 's/.*<release version="1.00" date="\([0-9-]*\)".*/\1/p' "$work/root/usr/share/metainfo/$id.metainfo.xml")
changelog_date=$(dpkg-parsechangelog -l "$work/changelog" -S Date)
[[ $(date -u -d "$changelog_date" +%F) == "$release" ]] || fail "the changelog's date $changelog_date is not the release's $release"

# The copyright: Debian's machine-readable format, LICENSE's copyright
# line, and LICENSE's terms under the Expat (MIT) licence.
copyright=$work/root/usr/share/doc/puzzle15/copyright
licence=$(dirname "$0")/../../LICENSE
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not in the machine-readable format"
grep -qx "Copyright: $(sed -n 's/^Copyright (c) //p' "$licence")" "$copyright" || fail "the copyright line is not LICENSE's"
grep -qx 'Files: \*' "$copyright" || fail "the copyright file covers no files"
[[ $(grep -c '^License: Expat$' "$copyright") == 2 ]] || fail "the copyright file does not license the files under Expat"
terms=$(awk -v RS= '/^License: Expat\n/ { print }' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
[[ $terms == "$(sed -n '/^Permission is hereby granted/,$p' "$licence")" ]] || fail "the copyright's terms are not LICENSE's"

echo "$(basename "$deb"): Depends: $depends"
