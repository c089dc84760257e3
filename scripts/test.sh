#!/usr/bin/env bash
# Builds everything and runs every check: the format and lint checks; the unit,
# file-system, interoperability and window tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, with warnings as errors; the core tests with the
# byte-by-byte scan; the Windows build's tests under Wine; the Windows ZIP's
# and installer's checks; the Debian package's checks; real trackers (xplanet,
# gpredict) reading the converted test catalogue, from the packaged build's
# converter; and a short run of each fuzz target. Each stage says how long it
# took.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/deps.sh test

stage_start=$SECONDS
stage_name=
stage() {
    [[ -n $stage_name ]] && echo "-- $stage_name: $((SECONDS - stage_start)) s"
    stage_name=$1
    stage_start=$SECONDS
    [[ -n $stage_name ]] && echo "== $stage_name"
    return 0
}

stage "format"
scripts/format.sh --check

# The sanitizer build runs the whole suite, the core's tests also against the
# core scanning byte by byte; warnings are errors in it.
stage "build and test (asan)"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" --output-on-failure

# clang-tidy (on the sanitizer build's compile commands, its Qt code generated
# already) and the fuzz targets' build take the processors the stages below
# leave idle, waiting on Wine, on windows and on the trackers: they run beside
# them at the lowest priority, their output kept until they are waited for.
background_log=$(mktemp)
(
    started=$SECONDS
    nice -n 19 scripts/clang-tidy.sh --build build/asan --with-app
    echo "clang-tidy: done $((SECONDS - started)) s after it started"
    nice -n 19 scripts/fuzz.sh build >/dev/null
    echo "fuzz targets built $((SECONDS - started)) s after clang-tidy started"
) >"$background_log" 2>&1 &
background=$!
# When a stage fails, the script ends and takes them with it.
end_tree() {
    local child
    for child in $(pgrep -P "$1"); do
        end_tree "$child"
    done
    kill "$1" 2>/dev/null || true
}
trap 'end_tree "$background"; rm -f "$background_log"' EXIT

stage "Windows build, tested under Wine"
cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs" --output-on-failure

stage "Windows ZIP and installer"
scripts/check_windows_installer.sh

stage "Debian package"
scripts/check_package.sh

stage "trackers"
scripts/check_trackers.sh build/package/cli/varnholt-convert

stage "clang-tidy and the fuzz targets' build, waited for"
background_status=0
wait "$background" || background_status=$?
cat "$background_log"
((background_status == 0))

stage "fuzz targets, short run"
scripts/fuzz.sh ci
stage ""
echo "All tests passed."
