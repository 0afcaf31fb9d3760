#!/bin/sh
# Builds every release of one version into dist/ (or the given directory):
# the source tarball quillmoor-<version>.tar.gz (the commit, by git archive),
# the Debian package (tools/package.sh), the Windows zip and installer
# (tools/windows.sh) and the page (tools/web.sh) as
# quillmoor-<version>-web.tar.gz, with SHA256SUMS over them all. The version
# is CMake's project() version, as each build takes it.
#
# The same commit makes the same bytes wherever, whenever and under whatever
# umask or time zone it is built (tools/reproduce.sh checks): every time
# inside is SOURCE_DATE_EPOCH, the commit's time unless it is set.
#
# Usage: tools/release.sh [directory]   (default: dist)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
# git archive writes the commit's time here; a checkout asks git.
archived='$Format:%ct$'
case $archived in
    *Format*) commit_time=$(git -C "$root" log -1 --format=%ct) ;;
    *) commit_time=$archived ;;
esac
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$commit_time}"
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
LC_ALL=C tar -C "$root/build-web" --sort=name --owner=0 --group=0 --numeric-owner \
    --mode=u=rwX,go=rX --mtime=@"$SOURCE_DATE_EPOCH" -cf - "quillmoor-$version-web" |
    gzip -9n >"$dist/quillmoor-$version-web.tar.gz"

# The source as committed, in quillmoor-<version>/, with git's own times.
if [ "$archived" = "$commit_time" ]; then
    echo "release.sh: an unpacked source tarball makes no source tarball" >&2
else
    git -C "$root" diff --quiet HEAD || echo "release.sh: uncommitted changes are in the builds, not in the source tarball" >&2
    git -C "$root" -c tar.umask=0022 archive --format=tar --prefix="quillmoor-$version/" HEAD |
        gzip -9n >"$dist/quillmoor-$version.tar.gz"
fi

(cd "$dist" && export LC_ALL=C && sha256sum quillmoor* >SHA256SUMS && cat SHA256SUMS)
