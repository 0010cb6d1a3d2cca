#!/usr/bin/env bash
# The program as a native Wayland client, in a headless Weston of its own:
# it asks for its title, its id and one fixed size, and the compositor's
# screenshot shows its lavender client area at exactly 450 x 346 with
# "Нова игра" green in its place.
# Usage: check_wayland_window.sh PROGRAM
set -euo pipefail
program=$1

source "$(dirname "$0")/background.sh"
fail() {
    echo "FAIL: $*" >&2
    [[ -z ${geometry:-} ]] || echo "the lavender area last seen: $geometry" >&2
    echo "--- weston:" >&2; tail -n 20 "$work/weston.log" >&2
    echo "--- program:" >&2; tail -n 30 "$work/program.log" >&2
    exit 1
}
# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep 0.1
    done
}

export XDG_RUNTIME_DIR=$work
unset DISPLAY
# Weston 13 and later choose the software renderer with --renderer; older
# ones (Debian 12's 10) with --use-pixman.
if weston --help 2>&1 | grep -q -- '--renderer'; then renderer=--renderer=pixman; else renderer=--use-pixman; fi
# --debug lets weston-screenshooter take the screen.
weston --backend=headless-backend.so "$renderer" --debug --width=1024 --height=768 --idle-time=0 \
    --socket=wayland-test >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for 30 "Weston's socket" test -S "$work/wayland-test"
export WAYLAND_DISPLAY=wayland-test

# WAYLAND_DEBUG logs every request the program makes of the compositor.
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 "$program" >"$work/program.log" 2>&1 &
pids+=($!)
program_pid=$!
shown() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
    grep -q 'ack_configure' "$work/program.log" && grep -Eq 'wl_surface[@#][0-9]+\.attach\(wl_buffer' "$work/program.log"
}
wait_for 60 "the window's first frame" shown

# libwayland 1.23 (Debian 13) writes object ids as xdg_toplevel#14, older
# ones as xdg_toplevel@14.
request() { grep -E -- "-> xdg_toplevel[@#][0-9]+\.$1\(" "$work/program.log" | sed -n "s/.*\.$1(\(.*\))\$/\1/p" | tail -n 1; }
[[ $(request set_title) == '"www.puzzle15.example.org  Информатика - нареждане на матрица"' ]] \
    || fail "the title asked for is $(request set_title)"
[[ $(request set_app_id) == '"org.example.puzzle15"' ]] || fail "the id asked for is $(request set_app_id)"
# A window of one size: its least and its greatest size are the size of
# its window geometry. That is 450 x 346 without decorations; with Qt's own
# (Weston draws none), Qt 6.4 leaves them out of the three and Qt 6.8
# counts them in.
geometry_size=$(grep -E -- "-> xdg_surface[@#][0-9]+\.set_window_geometry\(" "$work/program.log" \
    | sed -n 's/.*(0, 0, \([0-9]*\), \([0-9]*\))$/\1, \2/p' | tail -n 1)
[[ $(request set_min_size) == "$(request set_max_size)" ]] \
    || fail "the window may change its size: from $(request set_min_size) to $(request set_max_size)"
[[ $(request set_min_size) == "$geometry_size" || $(request set_min_size) == '450, 346' ]] \
    || fail "the size asked for, $(request set_min_size), is neither 450, 346 nor the window's, $geometry_size"

# The screen as the compositor shows it: the window's own lavender bounds
# its client area.
area() {
    (cd "$work" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1) || return 1
    shot=$(echo "$work"/wayland-screenshot-*.png)
    [[ -f $shot ]] || return 1
    geometry=$(convert "$shot" -fill black +opaque '#C0C0FF' -format '%@' info: 2>/dev/null)
    [[ $geometry == 450x346+* ]]
}
geometry=
wait_for 30 "a lavender area of 450 x 346 on the screen" area
left=$(cut -d+ -f2 <<<"$geometry")
top=$(cut -d+ -f3 <<<"$geometry")
pixel() { convert "$shot" -format "%[hex:p{$((left + $1)),$((top + $2))}]" info: | cut -c1-6; }
# "Нова игра" fills 8,32 to 113,57; the title label 80,0 to 392,20.
[[ $(pixel 20 44) == 00FF00 ]] || fail "no green \"Нова игра\" at 20,44 of the window but $(pixel 20 44)"
[[ $(pixel 84 4) == FFC080 ]] || fail "no peach title label at 84,4 of the window but $(pixel 84 4)"
echo "Wayland window ${geometry%%+*} at ${left},${top}, titled and sized as asked"
