#!/bin/sh
# Installs what is missing, builds, and starts the game from the repository
# directory, which holds Media/ and settings.ini.
set -e
cd "$(dirname "$0")/.."
./tools/install_deps.sh
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DQUILL_TESTS=OFF
cmake --build build-play -j"$(nproc)" --target quillmoor
if [ -z "$DISPLAY" ]; then
    echo "quillmoor: there is no display here (DISPLAY is not set), so the game cannot open its window." >&2
    echo "The game is built as build-play/quillmoor; start it from $(pwd) on a machine with a desktop." >&2
    exit 1
fi
exec ./build-play/quillmoor
