#!/bin/sh
# Sets up the machine, builds the program folder (build/app) and runs it.
# The desktop player itself is not built yet: for now this composes a demo album picture
# (gradient background, random mask) into build/app/Images/Palvina.bmp with the composer tool
# and, on an X display, sets it as the desktop wallpaper through the running desktop's backend.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/setup-deps.sh"
"$ROOT/scripts/build.sh" "$ROOT/build"

APP="$ROOT/build/app"
DEMO=$(mktemp -d)
trap 'rm -rf "$DEMO"' EXIT
printf '[PlayList]\r\nCount=1\r\nF0_Img=demo.jpg\r\n[BlkOption]\r\nnRadioTag=1\r\nColorFrom=clNavy\r\nColorTo=clBlack\r\nComGradient=0\r\n[PicSet]\r\nCheckMask=-1\r\nIsFrame=\r\n' \
    > "$DEMO/config.dll"
PICTURE=$(find "$APP/Images/Iframe" -name '*.jpg' | sort | head -n 1)
"$APP/palvina-compose" --screen "${SCREEN:-1920x1080}" --class 2 --playlist "$DEMO/config.dll" \
    "$PICTURE" "$APP/Images/Palvina.bmp"
echo "Composed $APP/Images/Palvina.bmp from $PICTURE"
if [ -n "${DISPLAY:-}" ]; then
    "$ROOT/build/tools/palvina-desktop" apply "$APP/Images/Palvina.bmp" 1 0
    echo "Set as the wallpaper through the $("$ROOT/build/tools/palvina-desktop" backend) backend"
fi
