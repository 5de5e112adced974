#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running program: installs the packages,
# builds, prepares the data folder (once) and starts the program inside it.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
DATA="${ZAREL_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/zarel-dictionary}"

source "$ROOT/scripts/deps.sh"
zarel_install_deps

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j2 --target zarel-dictionary zarel-dict

# The data folder is rebuilt when it is missing or was made by another version of the builder.
STAMP="$DATA/.zarel-data-version"
VERSION="$("$BUILD/tools/zarel-dict" --data-version)"
if [ ! -f "$STAMP" ] || [ "$(cat "$STAMP")" != "$VERSION" ]; then
    echo "Preparing the dictionary data in $DATA ..."
    mkdir -p "$DATA"
    "$BUILD/tools/zarel-dict" build "$DATA"
    echo "$VERSION" > "$STAMP"
fi

cd "$DATA"
exec "$BUILD/src/app/zarel-dictionary" "$@"
