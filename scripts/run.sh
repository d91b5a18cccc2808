#!/usr/bin/env bash
# Sets up the machine, builds Quillora and starts it with any paths given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/src/quillora "$@"
