#!/usr/bin/env bash
# Fuzzes the RTF reader for the given number of seconds (default 60) with libFuzzer.
# A crash leaves its input in build-fuzz/artifacts; add it to tests/richtext/regressions.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/setup.sh >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target rtfreader_fuzz
mkdir -p build-fuzz/corpus build-fuzz/artifacts
cp -n tests/fuzz/seeds/* tests/richtext/regressions/* build-fuzz/corpus/ 2>/dev/null || true
export ASAN_OPTIONS=detect_leaks=0
build-fuzz/tests/fuzz/rtfreader_fuzz build-fuzz/corpus -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/
