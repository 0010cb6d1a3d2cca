#!/usr/bin/env bash
# Builds the game in Release, starts it in a private X server (Xvfb) and
# saves a picture of its window right after start to docs/screenshot.png
# (or to the path given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
scripts/deps.sh --tests
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j2 >/dev/null

xvfb_pid="" program_pid="" display_file="$(mktemp)"
cleanup() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
[[ -s "$display_file" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"

QT_QPA_PLATFORM=xcb build-release/puzzle15 &
program_pid=$!
window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | head -n1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || { echo "the window did not appear" >&2; exit 1; }
sleep 1 # let the first paint finish

# Without a window manager the window is its client area, undecorated.
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
