# Sourced by the window tests: a virtual X display of the test's own.
#
#   start_display SCREEN   starts Xvfb with one screen of SCREEN (1024x768x24),
#                          exports DISPLAY; returns 1, saying why, when it fails
#   stop_display           ends it; for the caller's EXIT trap
#
# Xvfb picks a display number no other server holds (its lock file is taken
# atomically) and reports it once it accepts connections, so tests running side
# by side never share or take over a display, as a number picked in advance
# (xvfb-run -a) may.

start_display() {
    display_dir=$(mktemp -d /tmp/varnholt-display-XXXXXX)
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp \
        3>"$display_dir/number" >"$display_dir/log" 2>&1 &
    display_pid=$!
    # A minute: a loaded machine may start the server slowly.
    i=0
    until grep -q "^[0-9][0-9]*$" "$display_dir/number" 2>/dev/null; do
        if ! kill -0 "$display_pid" 2>/dev/null; then
            echo "Xvfb ended before it accepted connections:"
            cat "$display_dir/log"
            return 1
        fi
        i=$((i + 1))
        if [ $i -ge 600 ]; then
            echo "Xvfb did not accept connections within 60 s"
            return 1
        fi
        sleep 0.1
    done
    DISPLAY=":$(cat "$display_dir/number")"
    export DISPLAY
}

stop_display() {
    if [ -n "${display_pid:-}" ]; then
        kill "$display_pid" 2>/dev/null
        wait "$display_pid" 2>/dev/null
        display_pid=
    fi
    [ -z "${display_dir:-}" ] || rm -rf "$display_dir"
}
