#!/bin/bash
# Builds palvina-make-demo, writes the demo content tree into BUILD_DIR/demo-content and serves
# it on 127.0.0.1: SITE_PORT (8000) as the product web site, MIRROR_PORT (8001) as the second
# download host. Runs in the foreground; Ctrl-C stops both servers. See docs/demo-server.md.
#
#   scripts/serve-demo.sh [BUILD_DIR] [palvina-make-demo options, e.g. --version 1.0.0.57]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-"$ROOT/build"}
[ $# -gt 0 ] && shift
SITE_PORT=${SITE_PORT:-8000}
MIRROR_PORT=${MIRROR_PORT:-8001}
OUT="$BUILD/demo-content"

cmake -S "$ROOT" -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" --target palvina-make-demo
"$BUILD/tools/palvina-make-demo" "$OUT" --site "http://127.0.0.1:$SITE_PORT/" "$@"

# A stock static web server: Python's, or busybox httpd where Python is missing.
serve() {
    if command -v python3 >/dev/null 2>&1; then
        exec python3 -m http.server "$1" --bind 127.0.0.1 --directory "$OUT"
    elif command -v busybox >/dev/null 2>&1; then
        exec busybox httpd -f -p "127.0.0.1:$1" -h "$OUT"
    else
        echo "serve-demo: needs python3 or busybox (apt-get install python3)" >&2
        exit 1
    fi
}

serve "$SITE_PORT" &
SITE_PID=$!
serve "$MIRROR_PORT" &
MIRROR_PID=$!
stop() { kill "$SITE_PID" "$MIRROR_PID" 2>/dev/null || true; }
# Background jobs of a script ignore SIGINT, so Ctrl-C reaches the servers through this trap.
trap 'stop; exit 130' INT TERM
trap stop EXIT

echo "Serving $OUT on http://127.0.0.1:$SITE_PORT/ and http://127.0.0.1:$MIRROR_PORT/ (Ctrl-C stops both)"
# When either server ends (a port in use, for one), stop the other too.
status=0
wait -n "$SITE_PID" "$MIRROR_PID" || status=$?
exit "$status"
