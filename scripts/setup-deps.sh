#!/bin/sh
# Installs the Debian packages that building and testing need (Debian 12, as root or with sudo).
# Packages already present are left alone, so a prepared machine needs no network.
set -eu

# Build: compilers, libraries of the core, the desktop layer and the windows.
# Tests: a private X server and session bus, the desktops whose wallpaper and icon switches are
# exercised for real (GSettings schemas of GNOME, Cinnamon and MATE; xfconf and xfdesktop;
# pcmanfm), the screen saver hosts, the desktop entry checker, a CJK font for Chinese text.
PACKAGES="build-essential cmake ninja-build pkg-config
libjpeg62-turbo-dev libgtest-dev libbenchmark-dev
qt6-base-dev libcurl4-openssl-dev libx11-dev libglib2.0-dev libcpp-httplib-dev
xvfb xauth xdotool x11-utils libxres1 dbus dbus-x11 libglib2.0-bin
gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
xfconf xfdesktop4 pcmanfm xscreensaver mate-screensaver desktop-file-utils
fonts-wqy-zenhei"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q || true
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
