#!/bin/sh
# Installs the Debian 12 packages the game needs; with --tests also those the
# tests need. Installs nothing that is already there.
set -e
packages="build-essential cmake pkg-config libsdl1.2-dev libsdl-image1.2-dev libgl-dev libglu1-mesa-dev liblodepng-dev"
if [ "$1" = "--tests" ]; then
    packages="$packages libgtest-dev libbenchmark-dev xvfb libgl1-mesa-dri xdotool x11-utils libx11-dev libxtst-dev clang libclang-rt-14-dev valgrind"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
