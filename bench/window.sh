#!/usr/bin/env bash
# Start-up and memory figures of the installed program beside the floor Qt sets. Under Xvfb
# (no window manager), in one loop of interleaved runs, times from exec to the MapNotify of:
#   - bench_emptywindow, a minimal Qt main window of the dictionary window's size;
#   - the splash and the main window of the program started through the installed launcher;
#   - the same started directly with the data folder as its current directory;
# then prints the medians and the ratios to the empty window. Last, it types lookups into the
# word box of a launcher-started program and prints its resident memory (VmRSS), the anonymous
# part of it (RssAnon) and the peak (VmHWM).
#
# Usage: bench/window.sh [BUILD_DIR]     (default: build; a Release build gives the figures)
# Environment: RUNS (default 10), LOOKUPS (default 100), BENCH_DATA (default /tmp/bench-data:
# the full data with sounds, built by the launcher's first start when it is missing).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
RUNS="${RUNS:-10}"
LOOKUPS="${LOOKUPS:-100}"
DATA="${BENCH_DATA:-/tmp/bench-data}"
MAIN_WIDTH=612   # the main window (and the empty window); the splash is 400 wide
SPLASH_WIDTH=400

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "window.sh: $tool is not installed" >&2; exit 1; }
done

WORK="$(mktemp -d)"
PREFIX="$WORK/prefix"
XVFB_PID=""
PROGRAM_PID=""
SHOT_NOTE=""

stop_program() {
    if [ -n "$PROGRAM_PID" ]; then
        kill "$PROGRAM_PID" 2>/dev/null || true
        # Not our child (the watcher started it): wait until it is gone.
        while kill -0 "$PROGRAM_PID" 2>/dev/null; do sleep 0.02; done
        PROGRAM_PID=""
    fi
}

cleanup() {
    stop_program
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

echo "Building and installing $BUILD into a temporary prefix ..."
cmake --build "$BUILD" -j2 --target zarel-dictionary zarel-dict mpegdll bench_emptywindow \
    bench_mapwatch >/dev/null
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
LAUNCHER="$PREFIX/bin/zarel-dictionary"
PROGRAM="$(find "$PREFIX" -type f -path '*/libexec/zarel-dictionary/zarel-dictionary')"
EMPTY="$BUILD/bench/bench_emptywindow"
WATCH="$BUILD/bench/bench_mapwatch"
# The launcher on the bench folder only, never a shared folder of the prefix.
export ZAREL_DATA_DIR="$DATA" ZAREL_SHARED_DATA=""
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
XVFB_PID=$!
while [ ! -s "$WORK/display" ]; do
    kill -0 "$XVFB_PID" 2>/dev/null || { echo "window.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
export DISPLAY=":$(head -n 1 "$WORK/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

if [ "$(cat "$DATA/.zarel-data-version" 2>/dev/null)" != "$("$PREFIX/bin/zarel-dict" --data-version)" ]; then
    echo "Preparing the full data with sounds in $DATA (the launcher's first start) ..."
    "$WATCH" --width "$MAIN_WIDTH" -- "$LAUNCHER" >/dev/null
fi

# run_watched NAME [--chdir DIR] -- COMMAND...: one timed start; appends the splash and main times to
# $WORK/NAME.splash and $WORK/NAME.main.
run_watched() {
    local name=$1 out
    shift
    out="$("$WATCH" --width "$MAIN_WIDTH" "$@" 2>>"$WORK/errors.log")" || {
        echo "window.sh: $name ended before its window showed:" >&2
        cat "$WORK/errors.log" >&2
        exit 1
    }
    awk -v w="$SPLASH_WIDTH" '$1 == "map" && $3 ~ "^" w "x" { print $2; exit }' <<<"$out" \
        >>"$WORK/$name.splash"
    awk -v w="$MAIN_WIDTH" '$1 == "map" && $3 ~ "^" w "x" { print $2; exit }' <<<"$out" \
        >>"$WORK/$name.main"
    awk -v w="$MAIN_WIDTH" '$1 == "map" && $3 ~ "^" w "x" && $4 != "-" { print $4; exit }' \
        <<<"$out" >>"$WORK/$name.cpu"
}


echo "Start-up, $RUNS interleaved runs (load: $(cut -d' ' -f1-3 /proc/loadavg)) ..."
for _ in $(seq "$RUNS"); do
    run_watched empty -- "$EMPTY"
    run_watched launcher -- "$LAUNCHER"
    run_watched direct --chdir "$DATA" -- "$PROGRAM"
done

# stats FILE: "median min max" of the numbers in FILE.
stats() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "- - -"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f %.1f\n", m, v[1], v[NR] }'
}
read -r EMPTY_MED EMPTY_MIN EMPTY_MAX < <(stats "$WORK/empty.main")
read -r MAIN_MED MAIN_MIN MAIN_MAX < <(stats "$WORK/launcher.main")
read -r SPLASH_MED SPLASH_MIN SPLASH_MAX < <(stats "$WORK/launcher.splash")
read -r DIRECT_MED DIRECT_MIN DIRECT_MAX < <(stats "$WORK/direct.main")
read -r DSPLASH_MED DSPLASH_MIN DSPLASH_MAX < <(stats "$WORK/direct.splash")
read -r EMPTY_CPU _ _ < <(stats "$WORK/empty.cpu")
read -r MAIN_CPU _ _ < <(stats "$WORK/launcher.cpu")
read -r DIRECT_CPU _ _ < <(stats "$WORK/direct.cpu")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0 && a != "-") printf "%.2f", a / b; else print "-" }'; }

# Real headwords of every English letter, plain lower-case words only, spread over each list.
WORDS=()
for letter in {a..z}; do
    mapfile -t plain < <("$PREFIX/bin/zarel-dict" list "$DATA" "$letter" | grep -E '^[a-z]{3,12}$')
    [ "${#plain[@]}" -ge 4 ] || continue
    for i in 0 1 2 3; do
        WORDS+=("${plain[$(( (2 * i + 1) * ${#plain[@]} / 8 ))]}")
    done
done
WORDS=("${WORDS[@]:0:$LOOKUPS}")

# Waits until the program has used no processor time for half a second.
settle() {
    local last="" now
    while :; do
        now="$(awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat")"
        [ "$now" = "$last" ] && return
        last="$now"
        sleep 0.5
    done
}
memory() {
    awk '/^(VmRSS|RssAnon|VmHWM):/ { v[$1] = $2 / 1024 }
        END { printf "RSS %.1f MiB, anonymous %.1f MiB, peak (VmHWM) %.1f MiB", v["VmRSS:"], v["RssAnon:"], v["VmHWM:"] }' \
        "/proc/$PROGRAM_PID/status"
}

echo "${#WORDS[@]} typed lookups ..."
PROGRAM_PID="$("$WATCH" --width "$MAIN_WIDTH" --detach -- "$EMPTY" | awk '$1 == "pid" { print $2 }')"
settle
MEM_EMPTY="$(memory)"
stop_program
PROGRAM_PID="$("$WATCH" --width "$MAIN_WIDTH" --detach -- "$LAUNCHER" | awk '$1 == "pid" { print $2 }')"
settle
MEM_START="$(memory)"
WINDOW="$(xdotool search --onlyvisible --pid "$PROGRAM_PID" --name '^Zarel English Dictionary$' | head -n 1)"
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
MENU_BAR=$(( HEIGHT - 320 ))
xdotool windowfocus --sync "$WINDOW"
# The word box, 39 pixels below the menu bar.
xdotool mousemove --window "$WINDOW" 300 $(( MENU_BAR + 39 )) click 1
for word in "${WORDS[@]}"; do
    xdotool type --delay 15 "$word"
    xdotool key Return
    xdotool key --repeat "${#word}" --delay 5 BackSpace
done
settle
MEM_LOOKUPS="$(memory)"
# The screen after the last lookup, to see that the lookups ran.
SHOT="$BUILD/window-last-lookup.png"
if command -v import >/dev/null; then import -window root "$SHOT" && SHOT_NOTE="screen after the lookups: $SHOT"; fi
stop_program

echo
echo "Window start-up under Xvfb, exec to MapNotify ($(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt") build, median of $RUNS, min-max)"
printf '  %-34s %7s ms  (%s-%s)\n' "empty Qt window" "$EMPTY_MED" "$EMPTY_MIN" "$EMPTY_MAX"
printf '  %-34s %7s ms  (%s-%s)  %sx empty\n' "splash, through the launcher" "$SPLASH_MED" "$SPLASH_MIN" "$SPLASH_MAX" "$(ratio "$SPLASH_MED" "$EMPTY_MED")"
printf '  %-34s %7s ms  (%s-%s)  %sx empty\n' "main window, through the launcher" "$MAIN_MED" "$MAIN_MIN" "$MAIN_MAX" "$(ratio "$MAIN_MED" "$EMPTY_MED")"
printf '  %-34s %7s ms  (%s-%s)  %sx empty\n' "splash, started directly" "$DSPLASH_MED" "$DSPLASH_MIN" "$DSPLASH_MAX" "$(ratio "$DSPLASH_MED" "$EMPTY_MED")"
printf '  %-34s %7s ms  (%s-%s)  %sx empty\n' "main window, started directly" "$DIRECT_MED" "$DIRECT_MIN" "$DIRECT_MAX" "$(ratio "$DIRECT_MED" "$EMPTY_MED")"
echo "Processor time of the main thread up to the MapNotify (median; steadier on a busy machine)"
printf '  %-34s %7s ms\n' "empty Qt window" "$EMPTY_CPU"
printf '  %-34s %7s ms  %sx empty\n' "main window, through the launcher" "$MAIN_CPU" "$(ratio "$MAIN_CPU" "$EMPTY_CPU")"
printf '  %-34s %7s ms  %sx empty\n' "main window, started directly" "$DIRECT_CPU" "$(ratio "$DIRECT_CPU" "$EMPTY_CPU")"
echo "Memory"
printf '  %-34s %s\n' "empty Qt window" "$MEM_EMPTY" "main window after start" "$MEM_START" \
    "main window after ${#WORDS[@]} lookups" "$MEM_LOOKUPS"
[ -z "${SHOT_NOTE:-}" ] || echo "  ($SHOT_NOTE)"
