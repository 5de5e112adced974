#!/usr/bin/env bash
# Runs every libFuzzer harness of tests/fuzz for SECONDS each (default 30), one after another:
# builds them with clang (ASan + UBSan), makes a seed corpus from the real data (zarel-dict
# build --no-sound) merged with the kept inputs, prints one line per harness and exits non-zero
# when any harness found something. Findings go to BUILD/findings/<name>/.
#   scripts/fuzz.sh [SECONDS]      build folder: $ZAREL_FUZZ_BUILD_DIR or ./build-fuzz
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZAREL_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-30}"
if ! [[ "$SECONDS_EACH" =~ ^[0-9]+$ ]] || [ "$SECONDS_EACH" -eq 0 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

# Harness name and the largest input it is given.
HARNESSES=(
    rtf:16384
    index:32768
    lzfile:16384
    config:4096
    wordlist:16384
    clipboard:4096
    wave:65536
    mpegdll:32768
)

source "$ROOT/scripts/deps.sh"
source "$ROOT/scripts/ccache.sh"
zarel_install_deps "${ZAREL_TEST_PACKAGES[@]}"

targets=(fuzz_makeseeds zarel-dict)
for harness in "${HARNESSES[@]}"; do
    targets+=("fuzz_${harness%%:*}")
done
# shellcheck disable=SC2046
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DENABLE_FUZZING=ON -DBUILD_TESTING=ON $(zarel_cache_args "$ROOT") >/dev/null
cmake --build "$BUILD" -j2 --target "${targets[@]}"

# Scratch files of the harnesses live in memory where possible: they are rewritten per input.
SCRATCH="$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo /tmp )/zarel-fuzz.XXXXXX")"
trap 'rm -rf "$SCRATCH"' EXIT
export TMPDIR="$SCRATCH"

# The real data, rebuilt when the data builder is newer than it.
DATA="$BUILD/fuzz-data"
if [ ! -f "$DATA/.built" ] || [ "$BUILD/tools/zarel-dict" -nt "$DATA/.built" ]; then
    echo "Building the seed data with zarel-dict..."
    rm -rf "$DATA"
    # The builder's Qt drawing keeps caches until exit; leaks are not what this step checks.
    ASAN_OPTIONS=detect_leaks=0 "$BUILD/tools/zarel-dict" build --no-sound "$DATA" >/dev/null 2>&1
    touch "$DATA/.built"
fi

SEEDS="$BUILD/fuzz-seeds"
rm -rf "$SEEDS"
"$BUILD/tests/fuzz/fuzz_makeseeds" "$DATA" "$SEEDS" >/dev/null
mkdir -p "$SEEDS/mpegdll"
if sox -n -r 22050 -c 1 -b 16 "$SCRATCH/tone.wav" synth 0.2 sine 440 vol 0.5 2>/dev/null \
    && lame --quiet -b 24 "$SCRATCH/tone.wav" "$SEEDS/mpegdll/seed-tone.mp3" 2>/dev/null; then
    :
else
    echo "sox or lame failed: the MP3 harness starts from its kept inputs only"
fi

status=0
for harness in "${HARNESSES[@]}"; do
    name="${harness%%:*}"
    maxlen="${harness##*:}"
    corpus="$BUILD/fuzz-corpus/$name"
    findings="$BUILD/findings/$name"
    log="$BUILD/fuzz-logs/$name.log"
    mkdir -p "$corpus" "$(dirname "$log")"
    rm -rf "$findings"
    mkdir -p "$findings"
    set +e
    "$BUILD/tests/fuzz/fuzz_$name" -max_total_time="$SECONDS_EACH" -max_len="$maxlen" \
        -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "$SEEDS/$name" "$ROOT/tests/fuzz/corpus/$name" >"$log" 2>&1
    rc=$?
    set -e
    runs="$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)"
    if [ -z "$runs" ]; then
        runs="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)"
    fi
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2 || true)"
    found="$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) | wc -l)"
    if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then
        found=1 # stopped without writing an input: the log tells why
    fi
    printf '%-10s %9s runs  cov %5s  corpus %5s  findings %s\n' "$name" "${runs:-?}" \
        "${cov:-?}" "$(find "$corpus" -type f | wc -l)" "$found"
    if [ "$found" -ne 0 ]; then
        echo "  see $log and $findings"
        status=1
    fi
done
exit "$status"
