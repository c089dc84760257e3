#!/bin/sh
# Runs a test program on a virtual X display of its own managed by openbox, so
# that its windows get real frames: a caption bar above, thin borders on the
# other sides. Exits 77 (skipped) when Xvfb or openbox is not installed.
#   with_window_manager.sh PROGRAM [ARGUMENT...]
set -u
for tool in Xvfb openbox xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed: test skipped"
        exit 77
    fi
done
. "$(dirname "$0")/virtual_display.sh"

wm=
stop_all() {
    if [ -n "$wm" ]; then
        kill "$wm" 2>/dev/null
        wait "$wm" 2>/dev/null
    fi
    stop_display
}
trap stop_all EXIT
start_display 1920x1080x24 || exit 1

openbox --sm-disable >"$display_dir/openbox.log" 2>&1 &
wm=$!
# The window manager names itself on the root window once it manages the screen.
managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_until "$wm" openbox "managed the screen" "$display_dir/openbox.log" managing || exit 1
QT_QPA_PLATFORM=xcb "$@"
