#!/usr/bin/env bash
# Runs the whole test suite: installs the packages, runs every fuzzer for a short while, then
# starts a sound server with a null sink for the audio tests and runs the suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer (any report fails the test that caused it).
#
#   bash scripts/test.sh                 both of the above (what CI runs)
#   bash scripts/test.sh --plain         the suite of a build without sanitizers (quicker)
#   bash scripts/test.sh --asan          only the AddressSanitizer + UBSan suite
#   bash scripts/test.sh --tsan          the audio tests under ThreadSanitizer
#   bash scripts/test.sh --fuzz [SECS]   only the fuzzers (30 s each unless given)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

MODES=()
FUZZ_SECONDS=30
while [ $# -gt 0 ]; do
    case "$1" in
        --plain | --asan | --tsan) MODES+=("${1#--}") ;;
        --fuzz)
            MODES+=(fuzz)
            if [ $# -gt 1 ] && [[ "$2" =~ ^[0-9]+$ ]]; then
                FUZZ_SECONDS="$2"
                shift
            fi
            ;;
        *)
            echo "usage: $0 [--plain] [--asan] [--tsan] [--fuzz [SECONDS]]" >&2
            exit 2
            ;;
    esac
    shift
done
if [ ${#MODES[@]} -eq 0 ]; then
    # The fuzzers first, so the run ends with CTest's summary of the suite.
    MODES=(fuzz asan)
fi

source "$ROOT/scripts/deps.sh"
source "$ROOT/scripts/ccache.sh"
zarel_install_deps "${ZAREL_TEST_PACKAGES[@]}"

SERVER_STARTED=0
start_sound_server() {
    if [ "$SERVER_STARTED" -eq 0 ]; then
        source "$ROOT/scripts/soundserver.sh"
        zarel_start_sound_server || echo "No sound server could be started; tests that need one will skip."
        SERVER_STARTED=1
    fi
}

# run_suite TITLE BUILD_DIR CTEST_ARGS TARGETS -- CMAKE_ARGS... (empty TARGETS: build all)
run_suite() {
    local title="$1" build="$2" ctest_args="$3" targets="$4"
    shift 5
    echo "== $title =="
    # The benchmarks are not part of the suite; leaving them out saves their compile time.
    # shellcheck disable=SC2046
    cmake -S "$ROOT" -B "$build" -G Ninja -DBUILD_TESTING=ON -DZAREL_BUILD_BENCH=OFF $(zarel_cache_args "$ROOT") "$@" \
        >/dev/null || return 1
    # shellcheck disable=SC2086
    cmake --build "$build" -j2 ${targets:+--target $targets} || return 1
    start_sound_server
    (
        cd "$build"
        export QT_QPA_PLATFORM=offscreen
        # shellcheck disable=SC2086
        ctest -j2 --output-on-failure --timeout 600 $ctest_args
    )
}

# The test programs that carry the "audio" label, and the playing library they load.
AUDIO_TARGETS="mpegdll fakempeg test_mpegdll test_tmpegplayer test_tform1_pronunciation
    test_tform1_keys test_tform1_voice test_wavedevice test_taudio test_wavplayer"

STATUS=0
for mode in "${MODES[@]}"; do
    case "$mode" in
        plain)
            run_suite "Test suite" "${ZAREL_TEST_BUILD_DIR:-$ROOT/build-tests}" "" "" -- \
                -DCMAKE_BUILD_TYPE=RelWithDebInfo || STATUS=1
            ;;
        asan)
            ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1" \
                LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0" \
                UBSAN_OPTIONS="print_stacktrace=1" \
                run_suite "Test suite under AddressSanitizer + UndefinedBehaviorSanitizer" \
                "${ZAREL_ASAN_BUILD_DIR:-$ROOT/build-asan}" "" "" -- \
                -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_SANITIZERS=ON || STATUS=1
            ;;
        tsan)
            TSAN_OPTIONS="suppressions=$ROOT/tests/sound/tsan.supp:halt_on_error=1:second_deadlock_stack=1" \
                run_suite "Audio tests under ThreadSanitizer" \
                "${ZAREL_TSAN_BUILD_DIR:-$ROOT/build-tsan}" "-L audio" "$AUDIO_TARGETS" -- \
                -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_TSAN=ON || STATUS=1
            ;;
        fuzz)
            echo "== Fuzzers, $FUZZ_SECONDS s each =="
            bash "$ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS" || STATUS=1
            ;;
    esac
done
exit "$STATUS"
