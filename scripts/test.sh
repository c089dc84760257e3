#!/usr/bin/env bash
# Builds everything and runs every check: the format and lint checks, the unit,
# file-system, interoperability and window tests (warnings as errors), the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the core tests
# with the byte-by-byte scan, the Windows build's tests under Wine, the Windows
# ZIP's and installer's checks, the Debian package's checks, real trackers
# (xplanet, gpredict) reading the converted test catalogue, and a short run of
# each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/deps.sh test

echo "== format"
scripts/format.sh --check

for preset in ci asan portable; do
    echo "== build and test ($preset)"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

echo "== Windows build, tested under Wine"
cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs"

echo "== Windows ZIP and installer"
scripts/check_windows_installer.sh

echo "== Debian package"
scripts/check_package.sh

echo "== trackers"
scripts/check_trackers.sh build/ci/cli/varnholt-convert

echo "== clang-tidy"
scripts/clang-tidy.sh --with-app

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzz targets, short run"
    scripts/fuzz.sh ci
fi
echo "All tests passed."
