#!/usr/bin/env bash
# Fuzzes the RTF reader with libFuzzer.
#   fuzz.sh [SECONDS]   explores for SECONDS (default 60) from the inputs gathered so far
#   fuzz.sh --replay    runs every stored input (tests/fuzz and the regressions) once,
#                       as the test run does: the same result on every run
# A failing input is left in build-fuzz/artifacts; add it to tests/richtext/regressions.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target rtfreader_fuzz
mkdir -p build-fuzz/artifacts
export ASAN_OPTIONS=detect_leaks=0
options=(-timeout=10 -rss_limit_mb=2048 -max_len=65536 -artifact_prefix=build-fuzz/artifacts/)
if [[ "${1:-}" == "--replay" ]]; then
    build-fuzz/tests/fuzz/rtfreader_fuzz "${options[@]}" tests/fuzz/inputs/* tests/richtext/regressions/*
else
    mkdir -p build-fuzz/corpus
    cp -n tests/fuzz/inputs/* tests/richtext/regressions/* build-fuzz/corpus/ 2>/dev/null || true
    build-fuzz/tests/fuzz/rtfreader_fuzz build-fuzz/corpus -max_total_time="${1:-60}" \
        -print_final_stats=1 "${options[@]}"
fi
