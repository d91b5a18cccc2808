#!/usr/bin/env bash
# Fuzzes the RTF reader with libFuzzer.
#   fuzz.sh [SECONDS]   explores for SECONDS (default 60) from the corpus gathered so far
#   fuzz.sh --fixed N   N inputs from the stored seeds and regressions with a fixed seed,
#                       so that the test run's fuzzing hardly differs from run to run
# A failing input is left in build-fuzz/artifacts; add it to tests/richtext/regressions.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target rtfreader_fuzz
mkdir -p build-fuzz/artifacts
export ASAN_OPTIONS=detect_leaks=0
export QT_HASH_SEED=0 # the same hashing every run, for the fixed seed's sake
options=(-timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
         -artifact_prefix=build-fuzz/artifacts/)
if [[ "${1:-}" == "--fixed" ]]; then
    corpus=build-fuzz/fixed-corpus
    rm -rf "$corpus"
    mkdir -p "$corpus"
    cp tests/fuzz/seeds/* tests/richtext/regressions/* "$corpus"/
    build-fuzz/tests/fuzz/rtfreader_fuzz "$corpus" -seed=1 -runs="${2:-20000}" "${options[@]}"
else
    mkdir -p build-fuzz/corpus
    cp -n tests/fuzz/seeds/* tests/richtext/regressions/* build-fuzz/corpus/ 2>/dev/null || true
    build-fuzz/tests/fuzz/rtfreader_fuzz build-fuzz/corpus -max_total_time="${1:-60}" "${options[@]}"
fi
