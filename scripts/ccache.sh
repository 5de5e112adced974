#!/usr/bin/env bash
# Compiler cache for repeated builds on one machine (sourced by test.sh and fuzz.sh): when
# ccache is installed, builds in any clone or build folder reuse objects compiled before.
# Without ccache nothing changes.

# zarel_cache_args ROOT: prints the CMake arguments that put ccache in front of the compilers.
zarel_cache_args() {
    if command -v ccache >/dev/null 2>&1; then
        export CCACHE_BASEDIR="$1" CCACHE_NOHASHDIR=1
        echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    fi
}
