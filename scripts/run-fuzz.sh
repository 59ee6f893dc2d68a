#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 180):
#   scripts/run-fuzz.sh [SECONDS] [TARGET...]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-180}
[ $# -gt 0 ] && shift
TARGETS=${*:-"ini_fuzz bmp_fuzz jpeg_fuzz"}
BUILD="$ROOT/build-fuzz"

if ! command -v clang++ >/dev/null; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y -q --no-install-recommends clang libclang-rt-dev
fi
"$ROOT/scripts/setup-deps.sh"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DPALVINA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# shellcheck disable=SC2086
cmake --build "$BUILD" --target $TARGETS

for t in $TARGETS; do
    corpus="$BUILD/corpus/$t"
    mkdir -p "$corpus"
    seeds="$ROOT/fuzz/corpus/${t%_fuzz}"
    echo "== $t for ${SECONDS_EACH}s"
    (cd "$BUILD" && "./fuzz/$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -print_final_stats=1 \
        "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ))
done
