#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
#   scripts/deps.sh run    what building and running the program needs
#   scripts/deps.sh test   that, plus what the tests need
#   scripts/deps.sh PACKAGE...   the packages named (for the tool scripts)
set -euo pipefail

build_run=(
    cmake make ninja-build g++ pkg-config python3
    qt6-base-dev libchm-dev fp-utils nlohmann-json3-dev
    libqt6widgets6 libchm1 fonts-liberation2
)
test_only=(
    libgtest-dev libgmock-dev
    python3 python3-sgp4
    xvfb xauth x11-utils openbox
    clang-14 libclang-rt-14-dev clang-tidy-14 procps
    g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine nsis
    # Wine's X11 driver draws the Windows window tests' windows with these.
    libxrender1 libxrandr2 libxcomposite1 libxcursor1 libxi6 libxinerama1
    dpkg-dev lintian appstream desktop-file-utils
    # Real trackers read the converted test catalogue (scripts/check_trackers.sh).
    xplanet gpredict xdotool
)

case "${1:-run}" in
run) wanted=("${build_run[@]}") ;;
test) wanted=("${build_run[@]}" "${test_only[@]}") ;;
*) wanted=("$@") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
