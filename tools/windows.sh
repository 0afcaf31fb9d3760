#!/bin/sh
# Builds the Windows release on Debian 12: quillmoor-<version>-windows-x64.zip
# and quillmoor-<version>-windows-x64-setup.exe (a per-user installer) in the
# build directory, and prints their paths. Installs what is missing first (the
# mingw-w64 cross compiler and zlib, NSIS, zip, Wine for the tests). Debian has
# no SDL 1.2 for Windows: its source package is built for mingw once, into
# $XDG_CACHE_HOME/quillmoor (default ~/.cache/quillmoor), and reused while
# Debian's version holds.
#
# Usage: tools/windows.sh [build directory]   (default: build-windows)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)
host=x86_64-w64-mingw32
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quillmoor

packages="g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nsis zip unzip wine wine64 dpkg-dev cmake"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root=sudo
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq $missing
fi

# SDL 1.2 from Debian's source package, for the version Debian ships today.
sdl_version=$(apt-cache policy libsdl1.2-dev | sed -n 's/^ *Candidate: //p')
# The linker stamps SDL.dll's export table with SOURCE_DATE_EPOCH, which strip
# leaves alone: SDL is built with the time of its own Debian changelog, so
# that a cached SDL and one built today are the same. (The name's -2: older
# caches were stamped with the time they were built.)
sdl=$cache/sdl-$sdl_version-$host-2
if [ ! -f "$sdl/bin/SDL.dll" ]; then
    work=$cache/sdl-work
    rm -rf "$work"
    mkdir -p "$work/lists/partial" "$work/archives/partial"
    # A private apt configuration with a deb-src entry, so that the system's
    # sources stay as they are.
    . /etc/os-release
    echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME main" >"$work/sources.list"
    apt_private="-o Dir::Etc::SourceList=$work/sources.list -o Dir::Etc::SourceParts=/nonexistent
        -o Dir::State::Lists=$work/lists -o Dir::Cache=$work -o Dir::Cache::pkgcache=
        -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root -o Debug::NoLocking=1"
    # shellcheck disable=SC2086
    apt-get $apt_private update -qq
    # shellcheck disable=SC2086
    (cd "$work" && apt-get $apt_private source -qq "libsdl1.2=$sdl_version" >/dev/null)
    source_dir=$(find "$work" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n 1)
    # stdio redirection would send the game's messages to files beside it.
    (cd "$source_dir" && export SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -STimestamp)" &&
        ./configure -q --host=$host --prefix="$sdl" --disable-stdio-redirect --disable-static &&
        make -s -j"$(nproc)" && make -s install) >"$work/build.log" 2>&1 ||
        { tail -n 30 "$work/build.log" >&2; exit 1; }
    # The LGPL asks that its licence and the source go with the library.
    mkdir -p "$sdl/source"
    cp "$source_dir/COPYING" "$sdl/COPYING.SDL.txt"
    cp "$work"/libsdl1.2_*.orig.tar.* "$work"/libsdl1.2_*.debian.tar.* "$work"/libsdl1.2_*.dsc "$sdl/source/"
    rm -rf "$work"
fi
echo "windows.sh: SDL $sdl_version for Windows in $sdl"

# The game, with LodePNG's source from npm as the page has it.
command -v npm >/dev/null 2>&1 || "$root/tools/install_deps.sh" --web
(cd "$root/web" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/windows/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUILL_SDL_DIR="$sdl" >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillmoor world_digest
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=quillmoor-$version-windows-x64

# What the zip holds and the installer installs, with Windows line ends on
# the texts that a player opens in an editor.
stage=$build/$name
rm -rf "$stage"
mkdir -p "$stage/licences/SDL-source"
# strip stamps each PE header with SOURCE_DATE_EPOCH when it is set, however
# long ago SDL was built.
x86_64-w64-mingw32-strip -o "$stage/quillmoor.exe" "$build/quillmoor.exe"
x86_64-w64-mingw32-strip -o "$stage/SDL.dll" "$sdl/bin/SDL.dll"
cp -r "$root/Media" "$stage/"
crlf() { sed 's/$/\r/' "$1" >"$2"; }
crlf "$root/settings.ini" "$stage/settings.ini"
sed "s/@VERSION@/$version/" "$root/windows/README.txt" | sed 's/$/\r/' >"$stage/README.txt"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
sed "s/@SDL_VERSION@/$sdl_version/" "$root/windows/NOTICES.txt" | sed 's/$/\r/' >"$stage/licences/NOTICES.txt"
crlf "$sdl/COPYING.SDL.txt" "$stage/licences/LGPL-2.1-SDL.txt"
cp "$sdl"/source/* "$stage/licences/SDL-source/"

# The same sources make the same zip: its entries in name order, with modes
# that ignore the umask and, with SOURCE_DATE_EPOCH, that time (zip keeps
# local times: in UTC here).
chmod -R u=rwX,go=rX "$stage"
[ -z "${SOURCE_DATE_EPOCH:-}" ] || find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$build/$name.zip"
(cd "$build" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$name.zip")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUT="$build/$name-setup.exe" \
    "$root/windows/installer.nsi" >/dev/null
ls "$build/$name.zip" "$build/$name-setup.exe"
