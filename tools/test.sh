#!/bin/sh
# Installs what is missing (test-only packages included), builds, and runs
# every test. The tests start their own X servers; no display is needed.
set -e
cd "$(dirname "$0")/.."
./tools/install_deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cd build
exec ctest --output-on-failure -j"$(nproc)"
