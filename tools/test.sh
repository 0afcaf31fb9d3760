#!/bin/sh
# Installs what is missing (test-only packages included), builds, and runs
# every test: unit, in-process OpenGL (the start-up and main loop included,
# and the real binary once) on classic SDL 1.2 and again on sdl12-compat, a
# short fuzzing run of the settings reader, and the Debian package. The
# tests start their own X servers; no display is needed. Then builds the
# browser version and plays it in headless Chromium (tests/web). Then builds
# the tests and the game once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs the unit and in-process
# tests against that build.
set -e
cd "$(dirname "$0")/.."
./tools/install_deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j"$(nproc)")

# The browser build, played in headless Chromium.
./tools/web.sh build-web
node tests/web/web_test.mjs build-web/page

# -O1 with line tables only: the sanitizers' usual level, and the build takes
# half the time of -O2 with full debug information while reports still name
# files and lines.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -g1" -DQUILL_SANITIZE=ON
cmake --build build-asan -j"$(nproc)" --target unit_tests gl_tests quillmoor
cd build-asan
exec ctest --output-on-failure -j"$(nproc)" -L sanitize
