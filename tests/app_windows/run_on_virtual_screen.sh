#!/usr/bin/env bash
# Runs the window-test driver under Wine on a virtual X screen of 1024 x 768
# (Xvfb, no window manager: Wine draws the window frames itself). Wine's server
# is ended before and after, so that the desktop the windows open on belongs to
# this screen and not to one that has gone.
#   run_on_virtual_screen.sh WINE_RUN DRIVER.exe [driver arguments...]
set -euo pipefail
wine_run=$1
shift
: "${WINEPREFIX:?the Wine prefix of the window tests}"
export WINEPREFIX

end_wine() { wineserver -k >/dev/null 2>&1 || true; }
end_wine
trap end_wine EXIT
xvfb-run -a -s "-screen 0 1024x768x24" "$wine_run" "$@"
