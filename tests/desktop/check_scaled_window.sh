#!/usr/bin/env bash
# The program itself on an X server at a scale factor of 2: its window is
# 900 x 692 device pixels (twice 450 x 346), and a screenshot shows the
# controls at twice their positions.
# Usage: check_scaled_window.sh PROGRAM
set -euo pipefail
program=$1

source "$(dirname "$0")/background.sh"
fail() { echo "FAIL: $*" >&2; cat "$work/stderr" >&2; exit 1; }

# An X server of its own on a display it picks itself and names on
# descriptor 3: one that is free in this machine's network namespace too,
# which a chroot's lock files do not tell.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
deadline=$((SECONDS + 30))
until grep -q . "$work/display"; do
    ((SECONDS < deadline)) || { cat "$work/xvfb.log" >&2; fail "Xvfb named no display"; }
    sleep 0.1
done
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 "$program" 2>"$work/stderr" &
pids+=($!)
pid=$!

# Found by its process, not by its title: xdotool matches a title as a
# pattern in the caller's locale, and in the C locale no Cyrillic title
# matches anything.
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n1) \
    || fail "the window did not appear"
# The title, read in a UTF-8 locale of its own (C.UTF-8 is always there).
title=$(LC_ALL=C.UTF-8 xprop -id "$window" -notype -f _NET_WM_NAME 8u _NET_WM_NAME | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p')
[[ $title == *'  Информатика - нареждане на матрица' ]] || fail "the window's title is '$title'"
geometry=$(xwininfo -id "$window")
width=$(awk '/Width:/ { print $2 }' <<<"$geometry")
height=$(awk '/Height:/ { print $2 }' <<<"$geometry")
[[ "${width}x${height}" == 900x692 ]] || fail "window is ${width}x${height} device pixels, not 900x692"

# The first frame reaches the server some time after the window is mapped:
# screenshots are taken until one shows the controls where they belong, for
# at most 20 seconds.
pixel() { convert "$work/shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# "Нова игра" (green) fills 8,32 to 113,57 in logical pixels; its middle is
# 120,88 in device pixels, beside it at 1x. The window's own lavender is
# just right of it, past 2 x 113. The title label (peach) covers x 80 to 392
# logically: device 160 to 785.
painted() {
    [[ $(pixel 120 88) == 00FF00 && $(pixel 232 88) == C0C0FF && $(pixel 164 10) == FFC080 \
        && $(pixel 778 10) == FFC080 && $(pixel 786 10) == C0C0FF ]]
}
deadline=$((SECONDS + 20)) shots=1
until import -window "$window" "$work/shot.png" 2>/dev/null && painted; do
    ((SECONDS < deadline)) || break
    sleep 0.05
    ((shots += 1))
done
[[ -s $work/shot.png ]] || fail "no screenshot of the window"
[[ $(pixel 120 88) == 00FF00 ]] || fail "no green \"Нова игра\" at 120,88 but $(pixel 120 88)"
[[ $(pixel 232 88) == C0C0FF ]] || fail "no background at 232,88 but $(pixel 232 88)"
[[ $(pixel 164 10) == FFC080 && $(pixel 778 10) == FFC080 && $(pixel 786 10) == C0C0FF ]] \
    || fail "the title label is not at twice its place: $(pixel 164 10) $(pixel 778 10) $(pixel 786 10)"
echo "window ${width}x${height} at scale 2, painted in screenshot $shots"
