#!/usr/bin/env bash
# The installed launcher with shared read-only data, in a temporary prefix laid out like an
# installation: new users get their own index files and links to the shared sounds, a data
# update rebuilds only the index files, a full build replaces the links with real files, and
# nothing a user does writes into the shared folder. The program is a stand-in that records
# the folder it was started in.
#
# Usage: test_shared_data.sh LAUNCHER_TEMPLATE ZAREL_DICT   (exit status 77: skipped)
set -euo pipefail

TEMPLATE="$1"
TOOL="$(readlink -f "$2")"
SOURCE=/usr/share/dictd
if [ ! -f "$SOURCE/freedict-eng-tur.index" ] || [ ! -f "$SOURCE/freedict-tur-eng.index" ]; then
    echo "SKIPPED: the FreeDict packages are not installed"
    exit 77
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
PREFIX="$WORK/prefix"
SHARED="$PREFIX/share/zarel-dictionary/data"
mkdir -p "$PREFIX/bin" "$PREFIX/libexec/zarel-dictionary" "$SHARED"
install -m 755 "$TEMPLATE" "$PREFIX/bin/zarel-dictionary"
ln -s "$TOOL" "$PREFIX/bin/zarel-dict"
cat >"$PREFIX/libexec/zarel-dictionary/zarel-dictionary" <<'PROGRAM'
#!/bin/sh
pwd -P > "$ZAREL_TEST_RAN"
PROGRAM
chmod 755 "$PREFIX/libexec/zarel-dictionary/zarel-dictionary"

export QT_QPA_PLATFORM=offscreen
unset ZAREL_DATA_DIR XDG_DATA_HOME ZAREL_SHARED_DATA ZAREL_BUILD_OPTIONS ZAREL_DATA_VERSION_SUFFIX
"$TOOL" build --no-sound "$SHARED" >"$WORK/shared.log" 2>&1 || { cat "$WORK/shared.log"; exit 1; }
mkdir -p "$SHARED/wave/1" "$SHARED/trans"
printf 'sound' >"$SHARED/wave/1/1.mp3"
"$TOOL" --data-version >"$SHARED/.zarel-data-version"
VERSION="$(cat "$SHARED/.zarel-data-version")"
touch "$WORK/before-users"

FAILURES=0
fail() {
    echo "FAILED: $*" >&2
    FAILURES=$((FAILURES + 1))
}

# launch USER [VAR=VALUE...]: runs the launcher as a user with its own HOME; sets DATA and LOG.
launch() {
    local user=$1
    shift
    DATA="$WORK/home-$user/.local/share/zarel-dictionary"
    LOG="$WORK/$user.log"
    mkdir -p "$WORK/home-$user"
    rm -f "$WORK/ran"
    if ! env HOME="$WORK/home-$user" ZAREL_TEST_RAN="$WORK/ran" "$@" \
        "$PREFIX/bin/zarel-dictionary" >"$LOG" 2>&1; then
        fail "$user: the launcher failed"
        cat "$LOG" >&2
    fi
    [ "$(cat "$WORK/ran" 2>/dev/null)" = "$(cd "$DATA" 2>/dev/null && pwd -P)" ] ||
        fail "$user: the program was not started in the data folder"
}
is_link_to_shared() { [ -L "$DATA/$1" ] && [ "$(readlink -f "$DATA/$1")" = "$(readlink -f "$SHARED/$1")" ]; }
is_own() { [ -e "$DATA/$1" ] && [ ! -L "$DATA/$1" ]; }

echo "== a new user: own index files, links for the rest, nothing built"
launch anna
for part in eg tr; do is_own "$part" || fail "anna: $part/ is not her own"; done
for part in wave trans hlp rtf logo_en_tr.jpg da.wav; do
    is_link_to_shared "$part" || fail "anna: $part is not a link to the shared data"
done
[ ! -e "$DATA/.zarel-data-version" ] || [ "$(cat "$DATA/.zarel-data-version")" = "$VERSION" ] ||
    fail "anna: stamped $(cat "$DATA/.zarel-data-version"), not $VERSION"
! grep -q -e "Preparing" -e "Updating" "$LOG" || fail "anna: the first start built data"
cmp -s "$DATA/eg/base_a.dak" "$SHARED/eg/base_a.dak" || fail "anna: eg/base_a.dak is not the shared copy"

echo "== a data update keeps the user's files and links and rebuilds only the index files"
printf 'house\r\n' >"$DATA/WordList.DIC"
printf 'x' >"$DATA/Dictionary.cfg"
ln -s "$SHARED/no-longer-there" "$DATA/gone.jpg"
launch anna ZAREL_DATA_VERSION_SUFFIX=-next
grep -q "Updating the dictionary data" "$LOG" || fail "anna: the update did not run"
grep -q "Stage dictionary" "$LOG" && ! grep -q -e "Stage sound" -e "Stage content" "$LOG" ||
    fail "anna: the update ran other stages than the dictionary"
[ "$(cat "$DATA/.zarel-data-version")" = "$VERSION-next" ] || fail "anna: the update was not stamped"
[ "$(cat "$DATA/WordList.DIC")" = $'house\r' ] && [ "$(cat "$DATA/Dictionary.cfg")" = x ] ||
    fail "anna: her files changed"
is_link_to_shared wave && is_link_to_shared hlp || fail "anna: links lost in the update"
[ ! -L "$DATA/gone.jpg" ] || fail "anna: a link to nothing was kept"

echo "== a full build replaces the links with files of the user's own"
launch anna ZAREL_SHARED_DATA= ZAREL_DATA_VERSION_SUFFIX=-private ZAREL_BUILD_OPTIONS=--no-sound
[ "$(find "$DATA" -maxdepth 1 -type l | wc -l)" -eq 0 ] || fail "anna: links left after a full build"
is_own hlp && is_own da.wav || fail "anna: the full build did not write hlp/ and da.wav"
[ "$(cat "$DATA/WordList.DIC")" = $'house\r' ] || fail "anna: her word list changed"

echo "== a folder with sounds of its own stays private"
mkdir -p "$DATA/wave/1"
launch anna ZAREL_DATA_VERSION_SUFFIX=-private2 ZAREL_BUILD_OPTIONS=--no-sound
[ "$(find "$DATA" -maxdepth 1 -type l | wc -l)" -eq 0 ] || fail "anna: her private folder got links"
grep -q "Stage content" "$LOG" || fail "anna: her private folder was not built in full"

echo "== shared data of another version is not used"
printf 'zarel-data-0\n' >"$SHARED/.zarel-data-version"
launch ben ZAREL_BUILD_OPTIONS=--no-sound
is_own hlp && ! is_link_to_shared wave || fail "ben: outdated shared data was linked"
printf '%s\n' "$VERSION" >"$SHARED/.zarel-data-version"
touch -r "$WORK/before-users" "$SHARED/.zarel-data-version"

changed="$(find "$SHARED" -newer "$WORK/before-users" | head -n 5)"
[ -z "$changed" ] || fail "users' starts wrote into the shared data: $changed"
if [ "$FAILURES" -ne 0 ]; then
    exit 1
fi
echo "PASSED"
