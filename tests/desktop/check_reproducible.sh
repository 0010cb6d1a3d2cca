#!/usr/bin/env bash
# Two clean Release builds of the same sources, copied into two directories
# at different times (so their files' times differ too), make byte-identical
# Debian packages; the archive's times are the release's date, and neither
# build's directories are named in the program file. Only the program is
# built, without the tests.
# Usage: check_reproducible.sh CMAKE CPACK SOURCE_DIR BUILD_DIR
set -euo pipefail
cmake=$1
cpack=$2
source=$3
work=$(mktemp -d "$4/reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A fresh copy of the sources, each file timed at the copying: the build
# directories (those with a CMakeCache.txt) stay behind.
copy_sources() {
    mkdir -p "$1"
    for entry in "$source"/*; do
        [[ -f $entry/CMakeCache.txt ]] || cp -R "$entry" "$1/"
    done
}

# The package of one build in $1, with no SOURCE_DATE_EPOCH from outside.
build_package() {
    local dir=$1
    copy_sources "$dir/src"
    {
        env -u SOURCE_DATE_EPOCH "$cmake" -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release \
            -DBUILD_TESTING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON &&
            "$cmake" --build "$dir/build" --target puzzle15 -j2 &&
            (cd "$dir/build" && env -u SOURCE_DATE_EPOCH "$cpack" -G DEB -B "$dir/out")
    } >"$dir.log" 2>&1 || { cat "$dir.log" >&2; fail "the build in $dir failed"; }
    if strings -a "$dir/build/puzzle15" | grep -F "$work"; then
        fail "the program file of $dir names the directories above"
    fi
}

build_package "$work/first"
build_package "$work/second"
first=$(echo "$work"/first/out/puzzle15_*.deb)
second=$(echo "$work"/second/out/puzzle15_*.deb)
sha256sum "$first" "$second" | sed "s|$work/||"

if ! cmp -s "$first" "$second"; then
    diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$second") >&2 || true
    mkdir "$work/unpacked"
    dpkg-deb -R "$first" "$work/unpacked/first"
    dpkg-deb -R "$second" "$work/unpacked/second"
    diff -r "$work/unpacked/first" "$work/unpacked/second" >&2 || true
    fail "the two packages differ"
fi

# Every member of the package and of its two archives bears the release's
# date at midnight UTC: the date of the release in the AppStream metadata.
dpkg -x "$first" "$work/root"
release=$(sed -n 's/.*<release version="[^"]*" date="\([0-9-]*\)".*/\1/p' \
    "$work/root/usr/share/metainfo/org.example.puzzle15.metainfo.xml")
export TZ=UTC0
times=$( (dpkg-deb --ctrl-tarfile "$first" | tar -tv; dpkg-deb --fsys-tarfile "$first" | tar -tv) \
    | awk '{ print $4, $5 }' | sort -u)
[[ $times == "$release 00:00" ]] || fail "the archives' times are not the release's date $release: $times"
times=$(ar tv "$first" | awk '{ print $4, $5, $6, $7 }' | sort -u)
[[ $times == "$(date -d "$release" '+%b %-d 00:00 %Y')" ]] || fail "the package's members' times are $times"
