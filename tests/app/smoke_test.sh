#!/bin/sh
# Starts the real program on a virtual X display and waits for its main window
# to appear with its caption. Exits 77 (skipped) when xvfb-run is not installed.
#   smoke_test.sh PATH-TO-VARNHOLT
set -u
program=$1

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run not installed: smoke test skipped"
    exit 77
fi
for tool in xwininfo xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed (Debian package x11-utils)"
        exit 1
    fi
done

export PROGRAM="$program"
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    unset QT_QPA_PLATFORM
    "$PROGRAM" &
    pid=$!
    caption="Varnholt  version 2.10"
    found=""
    i=0
    while [ $i -lt 100 ]; do
        if ! kill -0 $pid 2>/dev/null; then
            echo "the program ended before its window appeared"
            exit 1
        fi
        window=$(xwininfo -root -tree | grep -F "\"$caption\"" | awk "{print \$1}" | head -n 1)
        if [ -n "$window" ]; then
            found=$window
            break
        fi
        sleep 0.1
        i=$((i + 1))
    done
    if [ -z "$found" ]; then
        echo "no window captioned \"$caption\" appeared"
        xwininfo -root -tree
        kill $pid
        exit 1
    fi
    xprop -id "$found" WM_NAME _NET_WM_NAME
    # Without a window manager the frame is the client: 383 x 275 centred on 1024 x 768.
    # The window may be found a moment before its icon and place are set, so the
    # checks are repeated for up to five seconds.
    i=0
    while :; do
        geometry=$(xwininfo -id "$found")
        problems=""
        xprop -id "$found" _NET_WM_ICON | grep -q "64 x 64" || problems="$problems no 64 x 64 window icon;"
        echo "$geometry" | grep -q "Absolute upper-left X:  320" || problems="$problems wrong left;"
        echo "$geometry" | grep -q "Absolute upper-left Y:  246" || problems="$problems wrong top;"
        echo "$geometry" | grep -q "Width: 383" || problems="$problems wrong width;"
        echo "$geometry" | grep -q "Height: 275" || problems="$problems wrong height;"
        if [ -z "$problems" ] || [ $i -ge 50 ]; then
            break
        fi
        sleep 0.1
        i=$((i + 1))
    done
    echo "$geometry"
    status=0
    if [ -n "$problems" ]; then
        echo "$problems"
        status=1
    fi
    kill $pid
    wait $pid 2>/dev/null
    exit $status
'
