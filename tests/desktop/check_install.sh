#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts the program (in bin, where
# the PATH of a ~/.local or /usr/local install finds it), its menu entry,
# its icons, its AppStream metadata, its manual pages, copyright and
# changelog in place; the entry and the metadata pass their validators, and
# `man` finds the pages from the program's directory on the PATH.
# Usage: check_install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
id=org.example.puzzle15

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$root/usr" >/dev/null

# The program.
[[ -x $root/usr/bin/puzzle15 ]] || fail "no executable usr/bin/puzzle15"
file -b "$root/usr/bin/puzzle15" | grep -q '^ELF' || fail "usr/bin/puzzle15 is not an ELF program"

# The menu entry.
entry=$root/usr/share/applications/$id.desktop
[[ -f $entry ]] || fail "no menu entry $id.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $id.desktop"
key() { sed -n "s/^$1=//p" "$entry"; }
[[ $(key Name) == "Пъзел 15" ]] || fail "Name is '$(key Name)'"
[[ $(key Categories) == "Game;LogicGame;" ]] || fail "Categories is '$(key Categories)'"
key Comment | LC_ALL=C.UTF-8 grep -Pq '^\p{Cyrillic}+ ' || fail "Comment '$(key Comment)' is not Bulgarian"
[[ $(key Exec) == puzzle15 && -x $root/usr/bin/$(key Exec) ]] || fail "Exec '$(key Exec)' is not the installed program"
[[ $(key Icon) == "$id" ]] || fail "Icon is '$(key Icon)'"

# The icon, at 32x32 and larger, under the name the entry gives.
for size in 32 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    [[ -f $icon ]] || fail "no ${size}x${size} icon"
    file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "$icon is $(file -b "$icon")"
done

# The AppStream metadata: valid without warnings, release 1.00, a screenshot,
# launching this entry.
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
[[ -f $metainfo ]] || fail "no metainfo $id.metainfo.xml"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli rejects the metainfo: $report"
if grep -E '^[EW]:' <<<"$report"; then fail "appstreamcli warns about the metainfo"; fi
grep -q '<release version="1.00" date="[0-9-]*"/>' "$metainfo" || fail "no release 1.00 in the metainfo"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launches no $id.desktop"
grep -Eq '<image[^>]*>https://[^<]+\.png</image>' "$metainfo" || fail "no screenshot in the metainfo"
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo's project licence is not MIT"
grep -q '<metadata_license>CC0-1.0</metadata_license>' "$metainfo" || fail "the metainfo's own licence is not CC0-1.0"

# The manual pages, through the PATH as a user meets them, and the documents.
for page in man/man6/puzzle15.6.gz man/bg/man6/puzzle15.6.gz doc/puzzle15/copyright doc/puzzle15/changelog.gz; do
    [[ -f $root/usr/share/$page ]] || fail "no share/$page"
done
found=$(env -u MANPATH PATH="$root/usr/bin:/usr/bin:/bin" LC_ALL=C.UTF-8 man -w puzzle15) || fail "man finds no puzzle15"
[[ $found == "$root/usr/share/man/man6/puzzle15.6.gz" ]] || fail "man puzzle15 finds $found"
found=$(env -u MANPATH PATH="$root/usr/bin:/usr/bin:/bin" LC_ALL=C.UTF-8 man -w -L bg puzzle15) || fail "man -L bg finds no puzzle15"
[[ $found == "$root/usr/share/man/bg/man6/puzzle15.6.gz" ]] || fail "man -L bg puzzle15 finds $found"

echo "installed and valid: $(cd "$root" && find . -type f | sort | tr '\n' ' ')"
