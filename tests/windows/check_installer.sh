#!/usr/bin/env bash
# The installer under Wine, as a user without administrator rights runs it:
# installs silently (/S) into %LOCALAPPDATA%\Programs, puts the Start-menu
# shortcut with the icon and the entry in the installed apps (under HKCU),
# and the installed program starts and shows its window; the uninstaller,
# also silent, leaves nothing of it behind.
# Usage: check_installer.sh WINE_RUN PREFIX SETUP_EXE PUZZLE15_EXE
set -euo pipefail
wine_run=$1 prefix=$2 setup=$3 exe=$4
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\puzzle15'

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# wait_until SECONDS COMMAND...: polls the command until it succeeds.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
wine() { "$wine_run" "$prefix" "$@"; }
# The prefix's files, to compare before and after; not the temporary
# folders, where the uninstaller's own copy waits to be deleted on the next
# restart, as on Windows.
snapshot() {
    (cd "$prefix/drive_c" && find . \( -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' \) -prune \
        -o -print | LC_ALL=C sort)
}
# The key as text, or nothing when it is not there.
export_key() {
    rm -f "$work/key.reg"
    wine reg export "$key" 'Z:'"${work//\//\\}"'\key.reg' /y >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r'
}

# A first run of the prefix makes its user folders; then the snapshot.
wine cmd /c echo >/dev/null
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
install_dir="$user_dir/AppData/Local/Programs/Пъзел 15"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Пъзел 15.lnk"
wine cmd /c echo >/dev/null
snapshot >"$work/before"
[[ -z $(export_key) ]] || fail "the uninstall key is there before the install"

# Install, silently, as the user.
started=$SECONDS
if wine "$setup" /S; then pass "the installer ends with 0"; else fail "the installer failed ($?)"; fi
echo "installed in $((SECONDS - started)) s"
for file in puzzle15.exe LICENSE QT-NOTICE.txt LGPL-3.txt GPL-3.txt uninstall.exe; do
    [[ -f $install_dir/$file ]] && pass "installed: $file" || fail "not installed: $install_dir/$file"
done
cmp -s "$exe" "$install_dir/puzzle15.exe" && pass "the installed program is the one built" \
    || fail "the installed program differs from $exe"

# The shortcut: a .lnk naming the program, and the program as its icon.
if [[ -f $shortcut ]]; then
    pass "Start-menu shortcut \"Пъзел 15\""
    targets=$(iconv -f UTF-16LE -t UTF-8 "$shortcut" 2>/dev/null | tr -c '[:print:]' '\n' | grep -ci 'puzzle15.exe' || true)
    plain=$(grep -aci 'puzzle15.exe' "$shortcut" || true)
    ((targets + plain >= 1)) && pass "the shortcut leads to puzzle15.exe" || fail "the shortcut names no puzzle15.exe"
else
    fail "no shortcut at $shortcut"
fi

# The entry in the installed apps.
entry=$(export_key)
expect_value() {
    grep -Fxq -- "$1" <<<"$entry" && pass "uninstall entry: $1" || fail "no $1 in the uninstall entry:
$entry"
}
expect_value '"DisplayName"="Пъзел 15"'
expect_value '"DisplayVersion"="1.00"'
expect_value '"Publisher"="www.puzzle15.example.org"'
grep -q '^"DisplayIcon"=".*\\\\puzzle15.exe,0"$' <<<"$entry" && pass "uninstall entry: DisplayIcon" \
    || fail "no DisplayIcon on puzzle15.exe"
grep -q '^"UninstallString"="\\".*\\\\uninstall.exe\\""$' <<<"$entry" && pass "uninstall entry: UninstallString" \
    || fail "no UninstallString naming uninstall.exe"
grep -q '^"InstallLocation"=".*AppData\\\\Local\\\\Programs\\\\Пъзел 15"$' <<<"$entry" \
    && pass "installed into %LOCALAPPDATA%\\Programs" || fail "InstallLocation is not under %LOCALAPPDATA%\\Programs"

# The installed program starts and shows its window; Ctrl+Q ends it.
read -r display < <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null & echo "$!" >"$work/xvfb.pid")
xvfb_pid=$(cat "$work/xvfb.pid")
export DISPLAY=:$display
unset QT_QPA_PLATFORM
wine "$install_dir/puzzle15.exe" &
program=$!
# xdotool matches the UTF-8 name only in a UTF-8 locale.
window_shown() { LC_ALL=C.UTF-8 xdotool search --onlyvisible --name 'Информатика' >"$work/window" 2>/dev/null; }
if wait_until 60 window_shown; then
    pass "the installed program shows its window"
    xdotool mousemove --window "$(head -1 "$work/window")" 20 300 key ctrl+q
    ended() { ! kill -0 "$program" 2>/dev/null; }
    wait_until 30 ended && pass "and ends on Ctrl+Q" || { fail "it did not end on Ctrl+Q"; kill "$program"; }
else
    fail "the installed program showed no window"
    kill "$program" 2>/dev/null || true
fi
wait "$program" 2>/dev/null || true

# Uninstall, silently. The uninstaller copies itself to the temporary folder
# and runs from there, so it ends after the first copy does: wait for its work.
wine "$install_dir/uninstall.exe" /S || fail "the uninstaller failed to start"
gone() { [[ ! -e $install_dir && ! -e $shortcut && -z $(export_key) ]]; }
if wait_until 60 gone; then pass "uninstalled: folder, shortcut and entry gone"; else
    [[ -e $install_dir ]] && fail "left behind: $(ls -A "$install_dir")"
    [[ -e $shortcut ]] && fail "left behind: the shortcut"
    [[ -n $(export_key) ]] && fail "left behind: the uninstall entry"
fi
# Every process of the prefix ended, its registry written out.
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
WINEPREFIX=$prefix "$wineserver" -w || true
snapshot >"$work/after"
if diff "$work/before" "$work/after" >"$work/diff"; then
    pass "nothing left in the prefix that was not there before"
else
    fail "the prefix changed: $(cat "$work/diff")"
fi

echo "$failed failed"
((failed == 0))
