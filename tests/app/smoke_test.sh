#!/bin/sh
# Starts the real program on a virtual X display of its own and waits for its main window
# to appear with its caption, in its place; then starts it with a CSV file named
# on the command line and waits for the file's summary box and its TLE file.
# Exits 77 (skipped) when Xvfb is not installed.
#   smoke_test.sh PATH-TO-VARNHOLT DATA-FOLDER VERSION
# VERSION is the program's version as the build has it (PROJECT_VERSION).
set -u
program=$1
data=$2
version=$3

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb not installed: smoke test skipped"
    exit 77
fi
for tool in xwininfo xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed (Debian package x11-utils)"
        exit 1
    fi
done

work=$(mktemp -d /tmp/varnholt-smoke-XXXXXX)
. "$(dirname "$0")/virtual_display.sh"
trap 'stop_display; rm -rf "$work"' EXIT
cp "$data/catalogue.csv" "$work/"
start_display 1024x768x24 || exit 1

export PROGRAM="$program" WORK="$work" DATA="$data" VERSION="$version"
sh -c '
    unset QT_QPA_PLATFORM

    # waitfor PID CAPTION [SKIP]: the id of the window captioned CAPTION, once it
    # appears (within 30 s: a loaded machine may start the program slowly);
    # windows whose line in the tree contains SKIP do not count.
    waitfor() {
        i=0
        while [ $i -lt 300 ]; do
            if ! kill -0 "$1" 2>/dev/null; then
                echo "the program ended before a window captioned \"$2\" appeared" >&2
                return 1
            fi
            # Only windows with a class: Qt also names a hidden 1 x 1 window after the program.
            window=$(xwininfo -root -tree | grep -F "\"$2\": (\"" | grep -vF "${3:-@none@}" \
                | awk "{print \$1}" | head -n 1)
            if [ -n "$window" ]; then
                echo "$window"
                return 0
            fi
            sleep 0.1
            i=$((i + 1))
        done
        echo "no window captioned \"$2\" appeared" >&2
        xwininfo -root -tree >&2
        return 1
    }

    # repeat CHECK WINDOW: runs the function CHECK on WINDOW, which sets
    # $geometry and lists what is wrong in $problems, until nothing is wrong or
    # fifteen seconds have passed: a window may be found a moment before its
    # icon and place are set.
    repeat() {
        i=0
        while :; do
            geometry=$(xwininfo -id "$2")
            problems=""
            "$1" "$2"
            if [ -z "$problems" ] || [ $i -ge 150 ]; then
                return
            fi
            sleep 0.1
            i=$((i + 1))
        done
    }

    # Without a window manager the frame is the client: 383 x 275 centred on 1024 x 768.
    main_window_placed() {
        xprop -id "$1" _NET_WM_ICON | grep -q "64 x 64" || problems="$problems no 64 x 64 window icon;"
        echo "$geometry" | grep -q "Absolute upper-left X:  320" || problems="$problems wrong left;"
        echo "$geometry" | grep -q "Absolute upper-left Y:  246" || problems="$problems wrong top;"
        echo "$geometry" | grep -q "Width: 383" || problems="$problems wrong width;"
        echo "$geometry" | grep -q "Height: 275" || problems="$problems wrong height;"
    }

    # The summary at the main window + 75, + 65.
    summary_placed() {
        echo "$geometry" | grep -q "Absolute upper-left X:  395" || problems="$problems summary not at left 395;"
        echo "$geometry" | grep -q "Absolute upper-left Y:  311" || problems="$problems summary not at top 311;"
    }

    "$PROGRAM" &
    pid=$!
    if ! found=$(waitfor $pid "Varnholt  version $VERSION"); then
        kill $pid
        exit 1
    fi
    xprop -id "$found" WM_NAME _NET_WM_NAME
    repeat main_window_placed "$found"
    echo "$geometry"
    status=0
    if [ -n "$problems" ]; then
        echo "$problems"
        status=1
    fi
    kill $pid
    wait $pid 2>/dev/null
    [ $status -eq 0 ] || exit $status

    # A file on the command line is converted once the window is shown, and its
    # summary appears at the main window + 75, + 65: captioned with the program
    # title, which comes from the program file name.
    # The main window bears that caption too until it is first activated, which
    # may come only after the summary is closed: it is told by its size.
    "$PROGRAM" "$WORK/catalogue.csv" &
    pid=$!
    if ! box=$(waitfor $pid "$(basename "$PROGRAM")" " 383x275+"); then
        kill $pid
        exit 1
    fi
    repeat summary_placed "$box"
    cmp "$WORK/catalogue.TLE" "$DATA/catalogue.tle" || problems="$problems TLE file differs;"
    if [ -n "$problems" ]; then
        echo "$geometry"
        echo "$problems"
        status=1
    else
        echo "command-line file converted, summary shown"
    fi
    kill $pid
    wait $pid 2>/dev/null
    exit $status
'
