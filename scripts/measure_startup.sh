#!/usr/bin/env bash
# Start-up time and memory of the built program against the least a Qt
# Widgets program needs for a window like it (bench/minimal_window.cpp).
#
#   scripts/measure_startup.sh [RUNS] [BUILD_DIR] [PROGRAM]
#
# RUNS pairs (default 15) are measured as A B A B ..., A the game, B the
# minimal program, each started by bench/first_frame under a private Xvfb and
# a private session bus: time from exec to the first frame drawn in the
# window, resident memory at that frame and half a second later. Prints every
# run, the medians and the median of the pairwise ratios A/B. The server, the
# bus and the programs run at a raised priority (nice -10, when allowed) so
# that other work on the machine disturbs the pairs less. Builds the three
# programs in Release into BUILD_DIR (default build-release) first. PROGRAM,
# when given, is measured as A instead of BUILD_DIR/puzzle15 (an older build,
# to compare before and after a change).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-15}
build=${2:-build-release}
program=${3:-}

if [[ -z "${PUZZLE15_MEASURE_INNER:-}" ]]; then
    for tool in Xvfb dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "$tool is missing: scripts/deps.sh --tests installs it" >&2; exit 1; }
    done
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j2 --target puzzle15 minimal_window first_frame >/dev/null

    scratch=$(mktemp -d)
    xvfb_pid=
    cleanup() {
        if [[ -n "$xvfb_pid" ]]; then
            kill "$xvfb_pid" 2>/dev/null || true
            wait "$xvfb_pid" 2>/dev/null || true
        fi
        rm -rf "$scratch"
    }
    trap cleanup EXIT
    # A free display chosen by the server itself.
    # Raised priority where allowed; otherwise nice says so and runs anyway.
    priority=(nice -n -10)
    "${priority[@]}" true 2>/dev/null || priority=()
    "${priority[@]}" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$scratch/display" ]] && break
        sleep 0.05
    done
    [[ -s "$scratch/display" ]] || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
    mkdir -m 700 "$scratch/runtime"
    PUZZLE15_MEASURE_INNER=1 DISPLAY=":$(head -n1 "$scratch/display")" XDG_RUNTIME_DIR="$scratch/runtime" \
        "${priority[@]}" dbus-run-session -- "$0" "$runs" "$build" "$program"
    exit
fi

# Inside Xvfb and the private session bus.
unset QT_QPA_PLATFORM
probe="$build/bench/first_frame"
game=${program:-$build/puzzle15}
minimal="$build/bench/minimal_window"

measure() { # program -> "first_frame_us rss_kib settled_rss_kib cpu_us"
    "$probe" "$1" 2>/dev/null |
        sed -E 's/first_frame_us=([0-9]+) map_us=[0-9]+ cpu_us=([0-9]+) rss_kib=([0-9]+) settled_rss_kib=([0-9]+).*/\1 \3 \4 \2/'
}

# One run of each first, not counted: it fills the file system and font
# caches, as any earlier start of any program would have.
measure "$game" >/dev/null
measure "$minimal" >/dev/null

results=$(mktemp)
trap 'rm -f "$results"' EXIT
printf '%4s  %-14s %10s %10s %10s %10s\n' run program "frame ms" "CPU ms" "RSS MiB" "idle MiB"
for ((i = 1; i <= runs; i++)); do
    read -r a_us a_rss a_idle a_cpu < <(measure "$game")
    read -r b_us b_rss b_idle b_cpu < <(measure "$minimal")
    awk -v i="$i" -v a="$a_us $a_rss $a_idle $a_cpu" -v b="$b_us $b_rss $b_idle $b_cpu" 'BEGIN {
        split(a, x); split(b, y)
        printf "%4d  %-14s %10.1f %10.1f %10.2f %10.2f\n", i, "puzzle15", x[1] / 1000, x[4] / 1000, x[2] / 1024, x[3] / 1024
        printf "%4d  %-14s %10.1f %10.1f %10.2f %10.2f\n", i, "minimal_window", y[1] / 1000, y[4] / 1000, y[2] / 1024, y[3] / 1024
    }'
    echo "$a_us $a_rss $a_idle $b_us $b_rss $b_idle $a_cpu $b_cpu" >>"$results"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column() { awk -v c="$1" '{ print $c }' "$results" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ print $a / $b }' "$results" | median; }

echo
echo "$runs pairs, A B A B; medians:"
printf '%-26s %12s %14s %22s\n' "" puzzle15 minimal_window "median of ratios A/B"
printf '%-26s %12.1f %14.1f %22.3f\n' "first frame after exec, ms" "$(column 1 | awk '{ print $1 / 1000 }')" \
    "$(column 4 | awk '{ print $1 / 1000 }')" "$(ratio 1 4)"
printf '%-26s %12.1f %14.1f\n' "fastest first frame, ms" "$(awk '{ print $1 }' "$results" | sort -g | head -n1 | awk '{ print $1 / 1000 }')" \
    "$(awk '{ print $4 }' "$results" | sort -g | head -n1 | awk '{ print $1 / 1000 }')"
printf '%-26s %12.1f %14.1f %22.3f\n' "processor time to it, ms" "$(column 7 | awk '{ print $1 / 1000 }')" \
    "$(column 8 | awk '{ print $1 / 1000 }')" "$(ratio 7 8)"
printf '%-26s %12.2f %14.2f %22.3f\n' "resident at first frame, MiB" "$(column 2 | awk '{ print $1 / 1024 }')" \
    "$(column 5 | awk '{ print $1 / 1024 }')" "$(ratio 2 5)"
printf '%-26s %12.2f %14.2f %22.3f\n' "resident when idle, MiB" "$(column 3 | awk '{ print $1 / 1024 }')" \
    "$(column 6 | awk '{ print $1 / 1024 }')" "$(ratio 3 6)"
