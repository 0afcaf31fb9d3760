#!/bin/sh
# Builds every release of one version into dist/ (or the given directory):
# the Debian package (tools/package.sh), the Windows zip and installer
# (tools/windows.sh), and the page (tools/web.sh) as
# quillmoor-<version>-web.tar.gz, with SHA256SUMS over all four. The version
# is CMake's project() version, as each build takes it.
#
# Usage: tools/release.sh [directory]   (default: dist)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
rm -f "$dist"/quillmoor* "$dist/SHA256SUMS"

cp "$("$root/tools/package.sh" "$root/build-package" | tail -n 1)" "$dist/"
"$root/tools/windows.sh" "$root/build-windows" | tail -n 2 | xargs cp -t "$dist"
"$root/tools/web.sh" "$root/build-web" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build-web/CMakeCache.txt")

# The page with its licences: the game's, LodePNG's (the notice at the top of
# its source) and Emscripten's, whose runtime and libraries are inside.
page=$root/build-web/quillmoor-$version-web
rm -rf "$page"
cp -r "$root/build-web/page" "$page"
cp "$root/LICENSE" "$page/"
mkdir "$page/licences"
sed -n '1,/\*\//p' "$root/web/node_modules/lodepng/vendor/lodepng.c" >"$page/licences/LodePNG.txt"
cp /usr/share/doc/emscripten/copyright "$page/licences/Emscripten.txt"
tar -C "$root/build-web" --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime=@"$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)" \
    -czf "$dist/quillmoor-$version-web.tar.gz" "quillmoor-$version-web"

(cd "$dist" && sha256sum quillmoor* >SHA256SUMS && cat SHA256SUMS)
