#!/usr/bin/env bash
# Lets real trackers from Debian read the converter's output of
# tests/data/trackers.csv, whose catalogue numbers go above 99999: in the
# default letter form, with five-digit stand-ins and names cut to 24
# characters (--five-digit --name-width 24), and with stand-ins and whole
# names (--five-digit). tests/interop/check_trackers.py tells what is checked.
#   scripts/check_trackers.sh [CONVERTER] [TRACKER...]
# CONVERTER defaults to build/ci/cli/varnholt-convert (the ci preset's);
# TRACKER is xplanet or gpredict, both when none is named. gpredict runs on a
# virtual X display and is driven with xdotool; xplanet needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."

converter=build/ci/cli/varnholt-convert
if [[ $# -gt 0 && $1 != xplanet && $1 != gpredict ]]; then
    converter=$1
    shift
fi
trackers=("$@")
[[ ${#trackers[@]} -gt 0 ]] || trackers=(xplanet gpredict)

scripts/deps.sh python3 python3-sgp4 xplanet gpredict xvfb xauth xdotool

if [[ ! -x $converter ]]; then
    echo "check_trackers.sh: no converter at $converter (build the ci preset)" >&2
    exit 1
fi
converter=$(realpath "$converter")
if ! "$converter" --help | grep -q -- --five-digit; then
    echo "check_trackers.sh: $converter has no --five-digit option" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check=(/usr/bin/python3 tests/interop/check_trackers.py "$converter" tests/data/trackers.csv
    "$work" "${trackers[@]}")
if [[ " ${trackers[*]} " == *" gpredict "* ]]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "${check[@]}"
else
    "${check[@]}"
fi
