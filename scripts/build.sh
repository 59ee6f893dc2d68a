#!/bin/sh
# Configures and builds into a build folder: scripts/build.sh [BUILD_DIR] [extra cmake options...]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-"$ROOT/build"}
[ $# -gt 0 ] && shift
cmake -S "$ROOT" -B "$BUILD" -G Ninja "$@" >/dev/null
cmake --build "$BUILD"
