#!/bin/sh
# Builds the browser version of the game into build-web/page: our own
# index.html with the game's icon, quillmoor.js and quillmoor.wasm, and
# quillmoor.data with Media/ and settings.ini preloaded; for installing the
# page and playing it offline, its manifest, icons drawn from the desktop's
# (web/icons.py) and service-worker.js, its cache named after the build. Installs what is
# missing first: Debian's emscripten (and chromium for the tests), and from
# npm, as pinned in web/package-lock.json, lodepng 2.3.0 for LodePNG's source
# and playwright-core for tests/web, which drives the installed Chromium.
# Serve the folder with:
#   python3 -m http.server --bind 127.0.0.1 8000 --directory build-web/page
#   tools/web.sh [build directory]   (default: build-web)
set -e
cd "$(dirname "$0")/.."
build="${1:-build-web}"
./tools/install_deps.sh --web
# Debian's emscripten finds its JavaScript parser among Debian's node modules,
# which a Node.js from elsewhere does not look in.
NODE_PATH=/usr/share/nodejs
export NODE_PATH
# The lodepng package would build a Node.js binding on install, which the
# game does not use: --ignore-scripts keeps it to the sources.
(cd web && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILL_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target quillmoor
mkdir -p "$build/page"
cp web/index.html "$build"/quillmoor.wasm "$build"/quillmoor.data "$build/page/"
# Emscripten's file packager stamps quillmoor.js with a random package_uuid,
# read only by a cache of its own that the page does not use: named after
# the data instead, the same sources make the same page.
uuid=$(sha256sum "$build/quillmoor.data" | cut -c1-32 | sed 's/\(.\{8\}\)\(.\{4\}\)\(.\{4\}\)\(.\{4\}\)/\1-\2-\3-\4-/')
sed "s/\"package_uuid\":\"[^\"]*\"/\"package_uuid\":\"$uuid\"/" "$build/quillmoor.js" >"$build/page/quillmoor.js"
cp packaging/icons/48x48/quillmoor.png web/manifest.webmanifest "$build/page/"
# The icons take Python a few seconds: drawn again only when out of date.
icon=packaging/icons/256x256/quillmoor.png stale=""
for made in "$build/page/icon-192.png" "$build/page/icon-512.png"; do
    [ "$made" -nt "$icon" ] && [ "$made" -nt web/icons.py ] || stale=1
done
[ -z "$stale" ] || python3 web/icons.py "$icon" 192 "$build/page/icon-192.png" 512 "$build/page/icon-512.png"
# The build is named by its files, so the same sources give the same worker,
# and a player's browser knows a new build by a new worker.
id=$(cd "$build/page" && cat index.html quillmoor.js quillmoor.wasm quillmoor.data quillmoor.png \
    manifest.webmanifest icon-192.png icon-512.png | sha256sum | cut -c1-16)
sed "s/BUILD_ID/$id/" web/service-worker.js >"$build/page/service-worker.js"
echo "web.sh: the page is in $build/page"
