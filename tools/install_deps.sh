#!/bin/sh
# Installs the Debian 12 packages the game needs to build and run; with
# --tests also those the tests need, with --web those of the browser build
# (tools/web.sh) alone; the tests include the Windows release's (the mingw-w64
# cross compiler and zlib, NSIS, zip and Wine; tools/windows.sh), and
# appstream and python3-pefile, which read back the metadata. Installs
# nothing that is already there, and asks no questions.
set -e
packages="build-essential cmake pkg-config libsdl1.2-dev libsdl-image1.2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri liblodepng-dev zlib1g-dev"
# A Node.js, npm or Python from elsewhere serves as well as Debian's.
web="emscripten node-acorn chromium"
command -v npm >/dev/null 2>&1 || web="$web nodejs npm"
command -v python3 >/dev/null 2>&1 || web="$web python3"
windows="g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nsis zip unzip wine wine64 dpkg-dev"
if [ "$1" = "--tests" ]; then
    packages="$packages libgtest-dev libbenchmark-dev xvfb x11-utils xdotool libx11-dev libxtst-dev libsdl1.2-compat clang libclang-rt-14-dev lintian desktop-file-utils appstream python3-pefile $web $windows"
elif [ "$1" = "--web" ]; then
    packages="$web"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
else
    echo "install_deps.sh: missing packages:$missing" >&2
    echo "Run this as root, or install sudo, to install them." >&2
    exit 1
fi
echo "Installing:$missing"
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
