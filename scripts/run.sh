#!/usr/bin/env bash
# Builds the program (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec build/release/app/varnholt "$@"
