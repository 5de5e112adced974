#!/usr/bin/env bash
# Figures of the installed program: installs a build into a temporary prefix, then under Xvfb
# times the launcher's first start (it prepares the full data folder, sounds included), the
# start-up to the main window on that data (median of 10), and the resident memory after the
# start and after 100 lookups typed into the word box.
#
# Usage: bench/installed.sh [BUILD_DIR]      (default: build; needs Xvfb and xdotool)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
RUNS=10
LOOKUPS=100
TITLE='^Zarel English Dictionary$'
CLIENT_WIDTH=612 # the main window's width; the splash and other windows differ

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "installed.sh: $tool is not installed" >&2; exit 1; }
done

WORK="$(mktemp -d)"
PREFIX="$WORK/prefix"
DATA="$WORK/data"
XVFB_PID=""
PROGRAM_PID=""

stop_program() {
    if [ -n "$PROGRAM_PID" ]; then
        kill "$PROGRAM_PID" 2>/dev/null || true
        wait "$PROGRAM_PID" 2>/dev/null || true
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

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

echo "Installing $BUILD into a temporary prefix ..."
cmake --build "$BUILD" -j2 --target zarel-dictionary zarel-dict mpegdll >/dev/null
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
LAUNCHER="$PREFIX/bin/zarel-dictionary"

# A private X display; Xvfb writes the number it chose once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 200); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
[ -s "$WORK/display" ] || { echo "installed.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$WORK/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# The main window's id once it is shown, else nothing.
main_window() {
    local w
    for w in $(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null); do
        if xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -qx "WIDTH=$CLIENT_WIDTH"; then
            echo "$w"
            return
        fi
    done
}

# Starts the installed launcher and polls until the main window is shown; prints the time from
# the start to the window in milliseconds and leaves the window id in WINDOW.
start_program() {
    local limit_ms=$1 start
    start=$(now_ms)
    ZAREL_DATA_DIR="$DATA" "$LAUNCHER" >>"$WORK/launcher.log" 2>&1 &
    PROGRAM_PID=$!
    WINDOW=""
    while [ -z "$WINDOW" ]; do
        if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
            echo "installed.sh: the program ended; see its output:" >&2
            cat "$WORK/launcher.log" >&2
            exit 1
        fi
        if [ $(( $(now_ms) - start )) -gt "$limit_ms" ]; then
            echo "installed.sh: no main window within $limit_ms ms" >&2
            exit 1
        fi
        WINDOW="$(main_window)"
        [ -n "$WINDOW" ] || sleep 0.01
    done
    ELAPSED_MS=$(( $(now_ms) - start ))
}

# Waits (at most a minute) until the program has used no processor time for half a second.
settle() {
    local last="" now
    for _ in $(seq 120); do
        now="$(awk '{ print $14 + $15 }' "/proc/$PROGRAM_PID/stat")"
        [ "$now" = "$last" ] && return
        last="$now"
        sleep 0.5
    done
}

rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$PROGRAM_PID/status"; }

echo "First start: the launcher prepares the full data (about a minute and a half) ..."
start_program 900000
FIRST_MS=$ELAPSED_MS
stop_program

echo "Start-up, $RUNS runs ..."
TIMES=()
for _ in $(seq "$RUNS"); do
    start_program 60000
    TIMES+=("$ELAPSED_MS")
    stop_program
done
SORTED=($(printf '%s\n' "${TIMES[@]}" | sort -n))
MEDIAN=$(( (SORTED[RUNS / 2 - 1] + SORTED[RUNS / 2]) / 2 ))

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
[ "${#WORDS[@]}" -eq "$LOOKUPS" ] || { echo "installed.sh: only ${#WORDS[@]} words" >&2; exit 1; }

echo "$LOOKUPS lookups ..."
start_program 60000
settle
RSS_START=$(rss_mb)
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
RSS_LOOKUPS=$(rss_mb)
# The screen after the last lookup, to see that the lookups ran.
SHOT="$BUILD/installed-last-lookup.png"
command -v import >/dev/null && import -window root "$SHOT" && echo "Screen after the lookups: $SHOT"

echo
echo "Installed program ($(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt") build)"
printf '  first start, preparing the full data with sounds: %d.%01d s\n' \
    $(( FIRST_MS / 1000 )) $(( FIRST_MS % 1000 / 100 ))
echo "  start-up to the main window, median of $RUNS: $MEDIAN ms" \
    "(min ${SORTED[0]}, max ${SORTED[RUNS - 1]})"
echo "  resident memory after start: $RSS_START MB"
echo "  resident memory after $LOOKUPS lookups: $RSS_LOOKUPS MB"
