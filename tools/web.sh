#!/bin/sh
# Builds the browser version of the game into build-web/page: our own
# index.html with the game's icon, quillmoor.js and quillmoor.wasm, and
# quillmoor.data with Media/ and settings.ini preloaded. Installs what is
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
cp web/index.html "$build"/quillmoor.js "$build"/quillmoor.wasm "$build"/quillmoor.data "$build/page/"
cp packaging/icons/48x48/quillmoor.png "$build/page/"
echo "web.sh: the page is in $build/page"
