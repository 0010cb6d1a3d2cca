# Sourced by the checks that start servers and the program in the
# background: a private work folder ($work) and the processes they start
# ($pids), both gone when the check ends, however it ends.
work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
