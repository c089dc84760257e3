#!/usr/bin/env bash
# Builds everything and runs every test: the unit, file-system, interoperability
# and window tests, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests without the window with the core
# scanning byte by byte instead of with SSE2, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/deps.sh test

for preset in dev asan portable; do
    echo "== build and test ($preset)"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzz targets, short run"
    scripts/fuzz.sh ci
fi
echo "All tests passed."
