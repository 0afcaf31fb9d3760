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
build=${1:-$root/build-package}
"$root/tools/install_deps.sh"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS=$(dpkg-buildflags --get CXXFLAGS) CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
# CMake takes CPPFLAGS only through CXXFLAGS, and both only on the first run.
CXXFLAGS="$CPPFLAGS $CXXFLAGS" LDFLAGS=$LDFLAGS \
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/quillmoor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/quillmoor_*.deb
