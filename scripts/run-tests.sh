#!/bin/sh
# Sets up the machine, builds, and runs every test; then builds the core again with
# AddressSanitizer + UndefinedBehaviorSanitizer and runs the core tests on it.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup-deps.sh"

echo "== build and test"
"$ROOT/scripts/build.sh" "$ROOT/build"
ctest --test-dir "$ROOT/build" --output-on-failure

echo "== core tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DPALVINA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$ROOT/build-asan" --target files_tests compose_tests net_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$ROOT/build-asan" --output-on-failure -L core
