#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running program: installs the packages,
# builds, and starts the program through its launcher, which prepares the per-user data folder
# on first start (and whenever the data builder has changed) and runs the program inside it.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

source "$ROOT/scripts/deps.sh"
zarel_install_deps

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j2 --target zarel-dictionary zarel-dict

exec "$BUILD/zarel-dictionary-launcher" "$@"
