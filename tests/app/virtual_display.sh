# Sourced by the window tests: a virtual X display of the test's own.
#
#   start_display SCREEN   starts Xvfb with one screen of SCREEN (1024x768x24),
#                          exports DISPLAY; returns 1, saying why, when it fails
#   stop_display           ends it; for the caller's EXIT trap
#   wait_until PID NAME READY LOG CONDITION...
#                          runs CONDITION every 0.1 s until it succeeds; returns
#                          1, saying so and showing LOG, when the process PID
#                          ends first or a minute passes (a loaded machine may
#                          start a server slowly)
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
    wait_until "$display_pid" Xvfb "accepted connections" "$display_dir/log" display_number_written ||
        return 1
    DISPLAY=":$(cat "$display_dir/number")"
    export DISPLAY
}

display_number_written() {
    grep -q "^[0-9][0-9]*$" "$display_dir/number" 2>/dev/null
}

wait_until() {
    wait_pid=$1 wait_name=$2 wait_ready=$3 wait_log=$4
    shift 4
    wait_tries=0
    until "$@"; do
        if ! kill -0 "$wait_pid" 2>/dev/null; then
            echo "$wait_name ended before it $wait_ready:"
            cat "$wait_log"
            return 1
        fi
        wait_tries=$((wait_tries + 1))
        if [ $wait_tries -ge 600 ]; then
            echo "$wait_name had not $wait_ready after 60 s:"
            cat "$wait_log"
            return 1
        fi
        sleep 0.1
    done
}

stop_display() {
    if [ -n "${display_pid:-}" ]; then
        kill "$display_pid" 2>/dev/null
        wait "$display_pid" 2>/dev/null
        display_pid=
    fi
    [ -z "${display_dir:-}" ] || rm -rf "$display_dir"
}
