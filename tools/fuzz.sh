#!/bin/sh
# Builds the settings reader's libFuzzer target with clang (address and
# undefined-behaviour checks on) and runs it for a bounded time from the
# seed corpus kept in fuzz/corpus/settings. New inputs go to a scratch
# directory, so the committed corpus never changes. Further arguments go to
# libFuzzer: the long check is `tools/fuzz.sh 0 build/fuzz -runs=10000000`.
#   tools/fuzz.sh [seconds] [build directory] [libFuzzer options]
#   (defaults: 30, build/fuzz; 0 seconds: no time limit)
set -e
cd "$(dirname "$0")/.."
seconds="${1:-30}"
out="${2:-build/fuzz}"
[ $# -gt 2 ] && shift 2 || set --
clang="${CLANGXX:-clang++}"
if ! command -v "$clang" >/dev/null 2>&1; then
    echo "fuzz.sh: $clang not found (tools/install_deps.sh --tests installs it)" >&2
    exit 1
fi
mkdir -p "$out"
"$clang" -std=c++17 -g -O1 -Wall -Wextra -ffp-contract=off \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Isrc src/app/settings.cpp fuzz/settings_fuzz.cpp -o "$out/settings_fuzz"
scratch="$out/settings_corpus"
rm -rf "$scratch"
mkdir -p "$scratch"
# -seed fixes the mutation sequence; -max_len covers the whole read limit and
# a little beyond it.
exec "$out/settings_fuzz" -seed=1 -max_total_time="$seconds" -max_len=26000 \
    -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
    -dict=fuzz/settings.dict -artifact_prefix="$out/" "$@" "$scratch" fuzz/corpus/settings
