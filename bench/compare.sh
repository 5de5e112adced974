#!/usr/bin/env bash
# Compares the start of several builds of the program in one loop of interleaved runs: under a
# private Xvfb (no window manager), each binary is started directly in the data folder and timed
# from exec to the MapNotify of the main window, with the main thread's processor time by then.
# Prints the median and min-max of both per binary. For before/after figures of one change.
#
# Usage: bench/compare.sh BUILD_DIR BINARY...     (BUILD_DIR holds bench/bench_mapwatch)
# Environment: RUNS (default 10), BENCH_DATA (default /tmp/bench-data, as bench/window.sh makes).
set -euo pipefail

BUILD="$(cd "$1" && pwd)"
shift
RUNS="${RUNS:-10}"
DATA="${BENCH_DATA:-/tmp/bench-data}"
WATCH="$BUILD/bench/bench_mapwatch"
MAIN_WIDTH=612
[ -d "$DATA" ] || { echo "compare.sh: no data in $DATA (run bench/window.sh once)" >&2; exit 1; }

WORK="$(mktemp -d)"
XVFB_PID=""
cleanup() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
XVFB_PID=$!
while [ ! -s "$WORK/display" ]; do
    kill -0 "$XVFB_PID" 2>/dev/null || { echo "compare.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
export DISPLAY=":$(head -n 1 "$WORK/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime"

echo "$RUNS interleaved runs (load: $(cut -d' ' -f1-3 /proc/loadavg)) ..."
for _ in $(seq "$RUNS"); do
    i=0
    for binary in "$@"; do
        "$WATCH" --width "$MAIN_WIDTH" --chdir "$DATA" -- "$binary" 2>>"$WORK/errors.log" \
            | awk -v w="$MAIN_WIDTH" '$1 == "map" && $3 ~ "^" w "x" { print $2, $4; exit }' \
                >>"$WORK/$i.times"
        i=$((i + 1))
    done
done

# column FILE N: "median min max" of column N.
column() {
    awk -v c="$2" '{ print $c }' "$1" | sort -n | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "- - -"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f (%.1f-%.1f)\n", m, v[1], v[NR] }'
}
printf '%-40s %-24s %s\n' "binary" "exec to MapNotify, ms" "processor time, ms"
i=0
for binary in "$@"; do
    printf '%-40s %-24s %s\n' "$binary" "$(column "$WORK/$i.times" 1)" "$(column "$WORK/$i.times" 2)"
    i=$((i + 1))
done
