#!/usr/bin/env bash
# The built Debian package as a user meets it: unpacks the .deb into a temporary root, validates
# its desktop entry and AppStream file, checks its manual pages against the tool's own help and
# its shared data, then starts the unpacked launcher under Xvfb as new users (each with a
# temporary HOME) until the main window is shown, and checks what each user's folder holds.
# Prints each start's time (figures only; nothing is asserted about durations).
#
# Usage: test_package.sh [DEB]   (default $ZAREL_PACKAGE_DEB). Exit status 77: skipped.
set -euo pipefail

DEB="${1:-${ZAREL_PACKAGE_DEB:-}}"
TITLE='^Zarel English Dictionary$'
MAIN_WIDTH=612 # the main window's width; the splash window differs
DEADLINE=300   # seconds for a window to show: generous, the machine may be busy

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

[ -n "$DEB" ] || skip "no package given; bash scripts/package.sh builds one and runs this test" \
    "(or set ZAREL_PACKAGE_DEB)"
for tool in dpkg-deb Xvfb xdotool appstreamcli desktop-file-validate man; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -f "$DEB" ] || fail "no such package: $DEB"

WORK="$(mktemp -d)"
ROOT="$WORK/root"
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

dpkg-deb -x "$DEB" "$ROOT"
SHARED="$ROOT/usr/share/zarel-dictionary/data"
TOOL="$ROOT/usr/bin/zarel-dict"
LAUNCHER="$ROOT/usr/bin/zarel-dictionary"

echo "== desktop entry and AppStream metadata"
DESKTOP="$ROOT/usr/share/applications/zarel-dictionary.desktop"
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate"
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP")"
[ -x "$ROOT/usr/bin/$exec_name" ] || fail "the desktop entry starts $exec_name, which the package lacks"
shopt -s nullglob
metainfo=("$ROOT"/usr/share/metainfo/*.metainfo.xml)
[ ${#metainfo[@]} -eq 1 ] || fail "expected one metainfo file, found ${#metainfo[@]}"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">${DESKTOP##*/}</launchable>" "${metainfo[0]}" ||
    fail "the metainfo does not launch ${DESKTOP##*/}"

echo "== manual pages"
for page in zarel-dictionary zarel-dict; do
    file="$ROOT/usr/share/man/man1/$page.1.gz"
    [ -f "$file" ] || fail "no manual page $page(1)"
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page(1) renders with warnings: $warnings"
done
# Every command and option the tool's help names is in its page.
page_text="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E ascii -l "$ROOT/usr/share/man/man1/zarel-dict.1.gz" 2>/dev/null)"
for word in $("$TOOL" --help | grep -o -E -- '--[a-z-]+|^  zarel-dict [a-z]+' | awk '{print $NF}' | sort -u); do
    grep -q -F -- "$word" <<<"$page_text" || fail "zarel-dict(1) does not describe $word"
done

echo "== shared data"
for part in eg tr wave trans hlp rtf; do
    [ -d "$SHARED/$part" ] || fail "the shared data lacks $part/"
done
[ "$(cat "$SHARED/.zarel-data-version")" = "$(env -u ZAREL_DATA_VERSION_SUFFIX "$TOOL" --data-version)" ] ||
    fail "the shared data is stamped with another version than zarel-dict writes"
"$TOOL" check "$SHARED" >/dev/null || fail "zarel-dict check on the shared data"
sounds="$(find "$SHARED/wave" -name '*.mp3' | wc -l)"
[ "$sounds" -gt 30000 ] || fail "only $sounds spoken words in the shared data"
touch "$WORK/before-users"

# A private X display; Xvfb writes the number it chose once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 600); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$WORK/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY ZAREL_DATA_DIR XDG_DATA_HOME ZAREL_SHARED_DATA ZAREL_BUILD_OPTIONS \
    ZAREL_DATA_VERSION_SUFFIX

main_window() {
    local w
    for w in $(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null); do
        if xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -qx "WIDTH=$MAIN_WIDTH"; then
            echo "$w"
            return
        fi
    done
}

# start_user NAME [VAR=VALUE...]: starts the unpacked launcher as a user with a new HOME, waits
# until the main window is shown, prints the time, leaves the folder in USER_DATA.
start_user() {
    local name=$1 start now
    shift
    export HOME="$WORK/home-$name"
    mkdir -p "$HOME"
    USER_DATA="$HOME/.local/share/zarel-dictionary"
    start=$(date +%s%N)
    env "$@" "$LAUNCHER" >"$WORK/$name.log" 2>&1 &
    PROGRAM_PID=$!
    while [ -z "$(main_window)" ]; do
        now=$(date +%s%N)
        if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
            cat "$WORK/$name.log" >&2
            fail "$name: the program ended before its window showed"
        fi
        if [ $(((now - start) / 1000000000)) -ge "$DEADLINE" ]; then
            cat "$WORK/$name.log" >&2
            fail "$name: no main window after $DEADLINE s"
        fi
        sleep 0.05
    done
    now=$(date +%s%N)
    printf '%s: start to main window %d ms\n' "$name" $(((now - start) / 1000000))
}

# The user's folder holds the index files and settings of its own and links for the rest.
check_linked_folder() {
    local name=$1 own
    [ -L "$USER_DATA/wave" ] && [ "$(readlink -f "$USER_DATA/wave")" = "$(readlink -f "$SHARED/wave")" ] ||
        fail "$name: wave/ is not the shared folder"
    for part in eg tr; do
        [ -d "$USER_DATA/$part" ] && [ ! -L "$USER_DATA/$part" ] || fail "$name: $part/ is not the user's own"
    done
    for _ in $(seq 200); do
        [ -f "$USER_DATA/Dictionary.cfg" ] && break
        sleep 0.1
    done
    [ -f "$USER_DATA/Dictionary.cfg" ] && [ ! -L "$USER_DATA/Dictionary.cfg" ] ||
        fail "$name: no Dictionary.cfg of the user's own"
    own="$(find "$USER_DATA" -name '*.mp3' | wc -l)"
    [ "$own" -eq 0 ] || fail "$name: $own sound files copied into the user's folder"
    echo "$name: folder $(du -sh "$USER_DATA" | cut -f1), sounds linked from the shared data"
}

echo "== new users start the unpacked launcher"
start_user first
check_linked_folder first
stop_program
start_user second
check_linked_folder second
stop_program

echo "== a data update of a user's folder rebuilds only the index files"
start_user second ZAREL_DATA_VERSION_SUFFIX=-update
check_linked_folder second
grep -q "Updating the dictionary data" "$WORK/second.log" || fail "the update did not run"
stop_program

echo "== without shared data the launcher builds the user's folder in full"
start_user private ZAREL_SHARED_DATA= ZAREL_BUILD_OPTIONS=--no-sound
[ -d "$USER_DATA/eg" ] && [ -d "$USER_DATA/hlp" ] && [ ! -L "$USER_DATA/hlp" ] ||
    fail "private: the folder was not built in place"
stop_program
# A folder that had links gets real files of its own; the shared folder is never written
# through the links (checked below with every other change to the installed files).
start_user second ZAREL_SHARED_DATA= ZAREL_DATA_VERSION_SUFFIX=-private ZAREL_BUILD_OPTIONS=--no-sound
links="$(find "$USER_DATA" -maxdepth 1 -type l | wc -l)"
[ "$links" -eq 0 ] && [ -d "$USER_DATA/hlp" ] || fail "second: $links links left after a full build"
stop_program

changed="$(find "$ROOT" -newer "$WORK/before-users" | head -n 5)"
[ -z "$changed" ] || fail "the users' starts changed the installed files: $changed"
echo "PASSED: package test of $(basename "$DEB")"
