#!/bin/sh
# Builds the Debian package of the game, quillmoor_<version>_<arch>.deb, in
# its own Release tree (default: build-package) and prints its path.
# Installs the build packages first if any is missing. The compiler flags are
# Debian's (dpkg-buildflags, hardening included); the package's dependencies
# come from the libraries the game links.
#
# Usage: tools/package.sh [build directory]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build-package}" && cd "${1:-$root/build-package}" && pwd)
"$root/tools/install_deps.sh"

# dpkg-buildflags maps the directory it runs in out of the debug information
# (and so out of the build ID that the stripped game keeps); the build
# directory is mapped too, for one that lies elsewhere.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) -ffile-prefix-map=$build=build"
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS) LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
# CMake takes CPPFLAGS only through CXXFLAGS, and both only on the first run.
CXXFLAGS="$CPPFLAGS $CXXFLAGS" LDFLAGS=$LDFLAGS \
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/quillmoor_*.deb
# CPack gives the package's members and directories the modes the umask
# leaves, and adds each directory's size on disk, which differs between file
# systems, into Installed-Size: dpkg-deb packs the package again, with the
# size counted as dpkg-gencontrol counts it (each file in KiB rounded up,
# anything else 1 KiB). SOURCE_DATE_EPOCH, when set, is every time inside.
umask 022
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quillmoor_*.deb) tree=$build/deb-tree
rm -rf "$tree"
dpkg-deb -R "$deb" "$tree"
size=$(find "$tree" -path "$tree/DEBIAN" -prune -o -type f -printf '%s\n' -o -printf '1\n' |
    awk '{ kib += int(($1 + 1023) / 1024) } END { print kib }')
sed -i "s/^Installed-Size: .*/Installed-Size: $size/" "$tree/DEBIAN/control"
dpkg-deb --root-owner-group -Zgzip -b "$tree" "$deb" >/dev/null
echo "$deb"
