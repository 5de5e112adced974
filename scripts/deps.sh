#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and generate the data (skipped when all
# are present). Sourced by run.sh and test.sh; the test scripts add the compilers and tools
# of the sanitizer and fuzzing builds (ZAREL_TEST_PACKAGES).
set -euo pipefail

ZAREL_PACKAGES=(
    build-essential cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
    libjpeg62-turbo-dev libmpg123-dev libasound2-dev libasound2-plugins
    libmspack-dev mscompress libespeak-ng-dev espeak-ng libmp3lame-dev lame
    dict-freedict-eng-tur dict-freedict-tur-eng zlib1g-dev fonts-liberation2
    pulseaudio pulseaudio-utils alsa-utils sox xvfb xauth x11-utils xclip xdotool imagemagick
    libsqlite3-dev qt6-translations-l10n
)
ZAREL_TEST_PACKAGES=(clang libclang-rt-14-dev llvm)

# zarel_install_deps [EXTRA_PACKAGE...]
zarel_install_deps() {
    local missing=()
    local pkg
    for pkg in "${ZAREL_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
