#!/bin/sh
# Prints the non-blank lines of the game (src/) and of its tests (tests/ and
# fuzz/, harness included), counting the C++, Python, shell and JavaScript
# files git tracks (every file, in an unpacked source tarball, which holds
# just those), and the ratio of the two. The tests are kept to at most 45% of
# src.
cd "$(dirname "$0")/.."
count() {
    if [ -e .git ]; then git ls-files -- "$@"; else find "$@" -type f; fi |
        grep -E '\.(c|cc|cpp|h|hpp|py|sh|js|mjs|html)$|/[^./]+$' | tr '\n' '\0' |
        xargs -0 cat 2>/dev/null | grep -cv '^[[:space:]]*$'
}
src=$(count src)
tests=$(count tests fuzz)
echo "src:   $src"
echo "tests: $tests (tests/ and fuzz/)"
awk -v t="$tests" -v s="$src" 'BEGIN { printf "ratio: %.2f (at most 0.45)\n", t / s }'
