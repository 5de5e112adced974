#!/usr/bin/env bash
# Runs the whole test suite: installs the packages, builds with the tests, starts a sound
# server with a null sink for the audio tests, and runs CTest offscreen.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZAREL_TEST_BUILD_DIR:-$ROOT/build-tests}"

source "$ROOT/scripts/deps.sh"
zarel_install_deps

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null
cmake --build "$BUILD" -j2

source "$ROOT/scripts/soundserver.sh"
zarel_start_sound_server || echo "No sound server could be started; tests that need one will skip."

export QT_QPA_PLATFORM=offscreen
cd "$BUILD"
ctest -j2 --output-on-failure --timeout 600
