#!/bin/sh
# Runs the scripted session (tests/gl/program_test.cpp: the real start-up
# and main loop driven through SDL's queue: walking, jumping, the actions,
# the pause menu with two screenshots, "Exit") under valgrind's memcheck,
# and fails if memcheck finds any error outside the C library's loader,
# Mesa and X (tests/sanitize/valgrind.supp). Leaks are left to the sanitizer
# build. Takes many minutes: llvmpipe under memcheck draws a pass in a
# second or more.
#   tools/valgrind.sh [build directory]          (default: build)
set -e
cd "$(dirname "$0")/.."
build="${1:-build}"
./tools/install_deps.sh --tests
command -v valgrind >/dev/null 2>&1 || { echo "valgrind.sh: install valgrind first" >&2; exit 1; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target gl_tests
log="$(cd "$build" && pwd)/valgrind.log"
status=0
valgrind --tool=memcheck --leak-check=no --track-origins=yes --num-callers=30 --error-exitcode=97 \
    --suppressions="$(pwd)/tests/sanitize/valgrind.supp" --log-file="$log" \
    "$build/gl_tests" --gtest_filter=Program.Scripted* || status=$?
grep -E "ERROR SUMMARY|Invalid|uninitialised|Mismatched|overlap" "$log" || true
echo "valgrind log: $log"
exit $status
