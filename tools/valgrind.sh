#!/bin/sh
# Runs the scripted end-to-end session (tests/e2e/e2e_test.cpp: walk, every
# action, the pause menu with two screenshots, "Exit"; no random tail) with
# the game under valgrind's memcheck, and fails if memcheck finds any error
# outside the C library's loader, Mesa and X (tests/sanitize/valgrind.supp).
# Leaks are left to the sanitizer build. Takes many minutes: llvmpipe under
# memcheck draws a pass in a second or more.
#   tools/valgrind.sh [build directory]          (default: build)
set -e
cd "$(dirname "$0")/.."
build="${1:-build}"
./tools/install_deps.sh --tests
command -v valgrind >/dev/null 2>&1 || { echo "valgrind.sh: install valgrind first" >&2; exit 1; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillmoor e2e_tests
log="$(cd "$build" && pwd)/valgrind.log"
rm -f "$log"
export QUILL_GAME_WRAPPER="valgrind --tool=memcheck --leak-check=no --track-origins=yes \
--num-callers=30 --error-exitcode=97 --suppressions=$(pwd)/tests/sanitize/valgrind.supp \
--log-file=$log"
status=0
QUILL_MONKEY_SECONDS=0 "$build/e2e_tests" --gtest_filter=Session.* || status=$?
grep -E "ERROR SUMMARY|Invalid|uninitialised|Mismatched|overlap" "$log" || true
echo "valgrind log: $log"
exit $status
