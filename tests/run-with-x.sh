#!/bin/sh
# Runs a test program inside a private X server and D-Bus session bus:
#   run-with-x.sh PROGRAM [ARGS...]
# Xvfb runs with -noreset: without it the server resets when its last client leaves and the
# root window's background pixmap is lost between two connections of a test.
set -eu
SCREEN=${PALVINA_TEST_SCREEN:-1024x768x24}

# A display number nobody holds; the lock file of a dead server is taken over by Xvfb itself.
n=$(( ($$ % 400) + 100 ))
while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do
    n=$((n + 1))
done

Xvfb ":$n" -screen 0 "$SCREEN" -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true' EXIT INT TERM

i=0
while [ ! -e "/tmp/.X11-unix/X${n}" ]; do
    i=$((i + 1))
    if [ "$i" -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "run-with-x: Xvfb :$n did not start" >&2
        exit 1
    fi
    sleep 0.05
done

export DISPLAY=":$n"
# Tests set their own desktop, config folders and Qt platform as each case needs.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION
dbus-run-session -- "$@"
