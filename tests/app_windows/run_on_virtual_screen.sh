#!/usr/bin/env bash
# Runs the window-test driver under Wine on a virtual X screen of 1024 x 768
# (Xvfb, no window manager: Wine draws the window frames itself).
#   run_on_virtual_screen.sh WINE_RUN DRIVER.exe [driver arguments...]
# WINEPREFIX names the prefix of these tests alone. Its Wine server is ended
# before and after, so that the desktop the windows open on belongs to this
# screen and not to one that has gone. A Wine step that fails names itself and
# shows Wine's output.
set -euo pipefail
wine_run=$1
shift
# shellcheck source=scripts/wine_steps.sh
source "$(dirname "$0")/../../scripts/wine_steps.sh"
: "${WINEPREFIX:?the Wine prefix of the window tests}"
export WINEPREFIX

end_wine() { wineserver -k >/dev/null 2>&1 || true; }
end_wine
trap end_wine EXIT

# Wine waits up to 2 s for a window manager to confirm each window it hides,
# as every closed dialog and message box is, when the windows are left to one;
# with no window manager here, Wine places them itself.
if ! grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
    wine_step "leaving the windows' placement to Wine (X11 Driver Managed=N)" \
        "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || exit 1
    end_wine
fi

xvfb-run -a -s "-screen 0 1024x768x24" "$wine_run" "$@"
