#!/usr/bin/env bash
# Builds the Debian package in one command: installs the packaging tools and the build
# dependencies, copies the source tree (the files git knows, committed or not) to
# build-package/src, runs dpkg-buildpackage there and leaves the package in build-package/.
# Then lintian reports on it and tests/package/test_package.sh unpacks it and starts it.
#
# Usage: bash scripts/package.sh [--no-test]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/build-package"
SRC="$OUT/src"
RUN_TEST=1
if [ "${1:-}" = "--no-test" ]; then
    RUN_TEST=0
elif [ $# -gt 0 ]; then
    echo "Usage: bash scripts/package.sh [--no-test]" >&2
    exit 2
fi

source "$ROOT/scripts/deps.sh"
zarel_install_deps debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils

# A copy, so the packaging's own folders (obj-*, debian/zarel-dictionary) and its clean step
# never touch the working tree.
rm -rf "$SRC"
mkdir -p "$SRC"
(cd "$ROOT" && git ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
    | tar --null -T - -cf -) | tar -xf - -C "$SRC"

cd "$SRC"
if ! dpkg-checkbuilddeps 2>/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq ./ >/dev/null
fi

# A compiler cache speeds up repeated builds; the package builds the same without it.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$SRC" CCACHE_NOHASHDIR=1
fi
rm -f "$OUT"/zarel-dictionary_*
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc -b

DEB="$(ls "$OUT"/zarel-dictionary_*.deb)"
echo "Package: $DEB"
echo "lintian:"
lintian --info "$OUT"/zarel-dictionary_*.changes || true

if [ "$RUN_TEST" -eq 1 ]; then
    bash "$ROOT/tests/package/test_package.sh" "$DEB"
fi
echo "Install it with: sudo apt install $DEB"
