#!/bin/sh
# Runs a test program on a virtual X display managed by openbox, so that its
# windows get real frames: a caption bar above, thin borders on the other sides.
# Exits 77 (skipped) when xvfb-run or openbox is not installed.
#   with_window_manager.sh PROGRAM [ARGUMENT...]
set -u
for tool in xvfb-run openbox xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed: test skipped"
        exit 77
    fi
done

exec xvfb-run -a -s "-screen 0 1920x1080x24" sh -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # The window manager names itself on the root window once it manages the screen.
    i=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        i=$((i + 1))
        if [ $i -ge 100 ]; then
            echo "openbox did not start"
            kill $wm
            exit 1
        fi
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$@"
    status=$?
    kill $wm
    wait $wm 2>/dev/null
    exit $status
' sh "$@"
