#!/usr/bin/env bash
# The installed launcher's everyday start: it carries the builder's data version, so with data
# of that version it starts the program without running the builder; a test's version suffix
# still asks the builder. It finds the program when started by an absolute path, a relative
# path, a name on PATH or a link.
#
# Usage: test_launcher_start.sh LAUNCHER_TEMPLATE ZAREL_DICT
set -euo pipefail

TEMPLATE="$1"
TOOL="$(readlink -f "$2")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
FAILURES=0
fail() {
    echo "FAILED: $*" >&2
    FAILURES=$((FAILURES + 1))
}

unset ZAREL_DATA_VERSION_SUFFIX ZAREL_SHARED_DATA ZAREL_BUILD_OPTIONS XDG_DATA_HOME
VERSION="$("$TOOL" --data-version)"
grep -qx "BASE_VERSION=\"$VERSION\"" "$TEMPLATE" ||
    fail "the launcher does not carry the builder's data version $VERSION"

# A prefix whose builder only records that it ran and whose program records where it ran.
PREFIX="$WORK/prefix"
mkdir -p "$PREFIX/bin" "$PREFIX/libexec/zarel-dictionary" "$WORK/links"
install -m 755 "$TEMPLATE" "$PREFIX/bin/zarel-dictionary"
cat >"$PREFIX/bin/zarel-dict" <<BUILDER
#!/bin/sh
echo "\$*" >>"$WORK/builder-ran"
exec "$TOOL" "\$@"
BUILDER
cat >"$PREFIX/libexec/zarel-dictionary/zarel-dictionary" <<'PROGRAM'
#!/bin/sh
pwd -P >"$ZAREL_TEST_RAN"
PROGRAM
chmod 755 "$PREFIX/bin/zarel-dict" "$PREFIX/libexec/zarel-dictionary/zarel-dictionary"
ln -s "$PREFIX/bin/zarel-dictionary" "$WORK/links/zd"
export ZAREL_DATA_DIR="$WORK/data" ZAREL_TEST_RAN="$WORK/ran"
mkdir -p "$ZAREL_DATA_DIR"
printf '%s\n' "$VERSION" >"$ZAREL_DATA_DIR/.zarel-data-version"

# start NAME HOW: starts the launcher as HOW says; the program must run in the data folder.
start() {
    rm -f "$WORK/ran" "$WORK/builder-ran"
    case "$2" in
    absolute) "$PREFIX/bin/zarel-dictionary" ;;
    relative) (cd "$PREFIX" && ./bin/zarel-dictionary) ;;
    path) PATH="$PREFIX/bin:$PATH" zarel-dictionary ;;
    link) "$WORK/links/zd" ;;
    suffix) ZAREL_DATA_VERSION_SUFFIX="" "$PREFIX/bin/zarel-dictionary" ;;
    esac >"$WORK/$1.log" 2>&1 || fail "$1: the launcher failed: $(cat "$WORK/$1.log")"
    [ "$(cat "$WORK/ran" 2>/dev/null)" = "$(cd "$ZAREL_DATA_DIR" && pwd -P)" ] ||
        fail "$1: the program did not run in the data folder"
}

for how in absolute relative path link; do
    start "$how" "$how"
    [ ! -e "$WORK/builder-ran" ] || fail "$how: the builder ran ($(cat "$WORK/builder-ran"))"
done
start suffix suffix
grep -qx -- "--data-version" "$WORK/builder-ran" 2>/dev/null ||
    fail "suffix: a version suffix did not ask the builder"
! grep -q build "$WORK/builder-ran" || fail "suffix: data of the same version was rebuilt"

[ "$FAILURES" -eq 0 ] || exit 1
echo "launcher start: all checks passed"
