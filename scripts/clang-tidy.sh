#!/usr/bin/env bash
# Runs clang-tidy 14 (settings in .clang-tidy) over the program's sources;
# fails on any finding.
#   scripts/clang-tidy.sh              conversion/, platform/, desktop/ and cli/ (the POSIX side)
#   scripts/clang-tidy.sh --with-app   those and the window code in app/ (needs Qt 6)
#   scripts/clang-tidy.sh FILE...      only the files named
#   --build DIR (first)                the compile commands of the build in DIR,
#                                      built already (its Qt code generated);
#                                      without it, build/tidy is configured here
#                                      and only the Qt code generated.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh clang-tidy-14

build=
if [[ ${1:-} == --build ]]; then
    build=${2:?--build needs a build folder}
    shift 2
fi
with_app=no
if [[ ${1:-} == --with-app ]]; then
    with_app=yes
    shift
fi
gui=OFF
if [[ $with_app == yes ]] && dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null | grep -q "install ok installed"; then
    gui=ON
fi
if [[ -n $build ]]; then
    [[ -f $build/compile_commands.json ]] || { echo "clang-tidy: $build has no compile_commands.json" >&2; exit 2; }
    if [[ $gui == ON ]] && ! grep -q '"file": ".*/app/' "$build/compile_commands.json"; then
        echo "clang-tidy: $build has no window code" >&2
        exit 2
    fi
else
    build=build/tidy
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVARNHOLT_BUILD_TESTS=OFF \
        -DVARNHOLT_BUILD_GUI="$gui" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
    if [[ $gui == ON ]]; then
        # The window code includes what moc and uic generate.
        cmake --build "$build" -j 2 --target varnholt_app_autogen varnholt_helpviewer_autogen \
            varnholt_autogen >/dev/null 2>&1 || true
    fi
fi

if [[ $# -gt 0 ]]; then
    files=("$@")
else
    # The Windows files build only with the cross compiler's headers.
    mapfile -t files < <(git ls-files 'conversion/*.cpp' 'platform/*.cpp' 'desktop/*.cpp' 'cli/*.cpp' \
        ':!:*_windows.cpp')
    if [[ $gui == ON ]]; then
        mapfile -t -O "${#files[@]}" files < <(git ls-files 'app/*.cpp')
    fi
fi

# One clang-tidy per file, as many at once as there are processors. Quiet when
# clean; on a finding or a failure to compile, everything it said, in one piece.
status=0
export build
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c '
    if ! log=$(clang-tidy-14 -p "$build" --quiet --warnings-as-errors="*" "$1" 2>&1); then
        report=$(grep -v -E "^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$" <<<"$log" || true)
        printf "%s\nclang-tidy: %s fails\n" "$report" "$1" >&2
        exit 1
    fi' clang-tidy-file || status=1
if [[ $status -eq 0 ]]; then
    echo "clang-tidy: ${#files[@]} files clean"
fi
exit "$status"
