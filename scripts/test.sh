#!/usr/bin/env bash
# Sets up the machine, builds Quillora and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
