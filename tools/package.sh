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
# leaves; SOURCE_DATE_EPOCH, when set, is every time inside.
(cd "$build" && umask 022 && cpack -G DEB >/dev/null)
ls "$build"/quillmoor_*.deb
