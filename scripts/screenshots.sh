#!/usr/bin/env bash
# Takes the screenshots in docs/screenshots/ from the real program on a virtual
# X display with a light window manager:
#   main-window.png             the main window with its File menu open
#   summary.png                 the summary after converting a small file
#   error-wrong-header.png      the error box for a file that is not satellite CSV data
#   error-file-not-found.png    the application's error box for a missing file
#   about.png                   the About window
#   help.png                    the help window (skipped with a note when it does not open)
#
#   scripts/screenshots.sh [BUILD_DIR]      BUILD_DIR defaults to build/release,
#                                           the release preset's (scripts/run.sh builds it)
#
# Needs the Debian packages xvfb xauth openbox xdotool imagemagick x11-utils.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
program=$(realpath -m "$build/app/varnholt")
out=$(realpath docs/screenshots)
[[ -x $program ]] || {
    echo "no program at $build/app/varnholt: build first" \
        "(cmake --preset release && cmake --build --preset release)" >&2
    exit 1
}
# The main window's caption carries the version the build was made with.
version=$("$build/cli/varnholt-convert" --version)
version=${version##* }
for tool in xvfb-run openbox xdotool import xwininfo; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: apt-get install xvfb xauth openbox xdotool imagemagick x11-utils" >&2
        exit 1
    }
done

work=$(mktemp -d /tmp/varnholt-shots-XXXXXX)
trap 'rm -rf "$work"' EXIT
header="OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT"
printf '%s\r\n%s\r\n%s\r\n' "$header" \
    "EXAMPLESAT 4,2015-034A,2024-03-11T12:02:41.185440,1.00271234,.0002345,0.0512,85.1234,5.4321,9.8765,0,U,40732,999,1234,0,-.297E-5,0" \
    "EXAMPLESAT 5,2016-012B,2024-03-12T01:00:00.000000,14.5,.0001,51.6,10.5,20.25,30.125,0,U,40733,12,5,.1E-4,.5E-5,0" \
    >"$work/active.csv"
printf 'NAME,ID\r\n' >"$work/notes.csv"

export PROGRAM=$program OUT=$out WORK=$work VERSION=$version
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
    cd "$WORK"
    openbox >/dev/null 2>&1 &
    sleep 1
    unset QT_QPA_PLATFORM
    "$PROGRAM" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT

    # waitfor NAME: the id of a window captioned NAME (a regular expression).
    waitfor() {
        for _ in $(seq 100); do
            id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
            [[ -n $id ]] && { echo "$id"; return 0; }
            sleep 0.1
        done
        echo "no window named $1 appeared" >&2
        return 1
    }
    shot() { sleep 0.6; import -window root "$@"; }
    # The region around the centred main window, with room for its boxes.
    region="-crop 600x480+212+140 +repage"

    main=$(waitfor "^Varnholt  version $VERSION\$")
    xdotool windowactivate --sync "$main" || true
    xwininfo -id "$main" | grep -E "Absolute|Width|Height" | sed "s/^/main window client: /"
    xprop -id "$main" _NET_FRAME_EXTENTS || true

    # Menu bar commands, by their place on the bar (client coordinates).
    click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
    file_menu() { click 20 10; sleep 0.4; }
    load() {  # load PATH: File > Load CSV file, PATH typed in the dialog
        file_menu
        xdotool key Down Return
        waitfor "^Open\$|^Find Directory\$|Load|CSV" >/dev/null
        sleep 0.5
        xdotool key ctrl+a
        xdotool type --delay 5 "$1"
        xdotool key Return
    }

    file_menu
    shot $region "$OUT/main-window.png"
    xdotool key Escape

    load "$WORK/active.csv"
    sleep 0.8
    shot $region "$OUT/summary.png"
    xdotool key Return

    load "$WORK/notes.csv"
    waitfor "^Error\$" >/dev/null
    shot $region "$OUT/error-wrong-header.png"
    xdotool key Return

    load "$WORK/missing.csv"
    sleep 0.8
    shot $region "$OUT/error-file-not-found.png"
    xdotool key Return

    # The x of the menu bar captions in the client; the blanks after File and Help space them.
    help_x=120
    about_x=230
    click "$about_x" 10
    about=$(waitfor "^About this program\$")
    sleep 0.5
    xwininfo -id "$about" | grep -E "Absolute|Width|Height" | sed "s/^/About window client: /"
    xprop -id "$about" _NET_FRAME_EXTENTS || true
    shot $region "$OUT/about.png"
    xdotool windowclose "$about" 2>/dev/null || xdotool key --window "$about" alt+F4

    xdotool windowactivate --sync "$main" || true
    click "$help_x" 10
    if help=$(waitfor "VARNHOLT|[Hh]elp"); then
        shot "$OUT/help.png"
    else
        echo "the help window did not open: help.png not taken" >&2
    fi
'
ls -l "$out"
