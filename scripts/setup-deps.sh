#!/bin/sh
# Installs the Debian packages that building and testing need (Debian 12, as root or with sudo).
# Packages already present are left alone, so a prepared machine needs no network.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
libjpeg62-turbo-dev libgtest-dev libbenchmark-dev"

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
