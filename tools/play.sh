#!/bin/sh
# Installs what is missing, builds, and starts the game from the repository,
# which holds Media/ and settings.ini.
set -e
cd "$(dirname "$0")/.."
./tools/install_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILL_TESTS=OFF
cmake --build build -j"$(nproc)" --target quillmoor
if [ -z "$DISPLAY" ]; then
    echo "quillmoor: no display here (DISPLAY is not set), so the game cannot open its window." >&2
    echo "Built build/quillmoor; run it from this directory on a machine with a desktop." >&2
    exit 1
fi
exec ./build/quillmoor
