#!/bin/sh
# Runs a short scripted session of the game (tests/e2e/short_play_test.cpp:
# walk, jump, every action, pause, screenshot, "Exit") in a 320 x 240
# window under valgrind's memcheck, and fails if memcheck finds any error
# outside the C library's loader, Mesa and X (tests/sanitize/valgrind.supp).
# Leaks are left to the sanitizer build. Takes a few minutes: llvmpipe under
# memcheck draws a pass in about a second.
#   tools/valgrind.sh [build directory]          (default: build)
set -e
cd "$(dirname "$0")/.."
build="${1:-build}"
./tools/install_deps.sh --tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillmoor e2e_tests
log="$(pwd)/$build/valgrind.log"
rm -f "$log"
export QUILL_GAME_WRAPPER="valgrind --tool=memcheck --leak-check=no --track-origins=yes \
--num-callers=30 --error-exitcode=97 --suppressions=$(pwd)/tests/sanitize/valgrind.supp \
--log-file=$log"
status=0
"$build/e2e_tests" --gtest_filter=ShortPlay.* || status=$?
grep -E "ERROR SUMMARY|Invalid|uninitialised|Mismatched|overlap" "$log" || true
echo "valgrind log: $log"
exit $status
