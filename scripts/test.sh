#!/usr/bin/env bash
# Builds everything and runs every test: the unit, file-system, interoperability
# and window tests, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/deps.sh test

echo "== build and test (dev)"
cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test (asan)"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzz targets, short run"
    scripts/fuzz.sh ci
fi
echo "All tests passed."
