#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, quietly and without
# Wine offering to download its .NET or HTML engines. The prefix is made on
# first use, beside the build's files (WINEPREFIX may name another). When the
# prefix cannot be made, the message names the step and shows Wine's output,
# and the exit status is 125, which no program under test gives.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine_steps.sh
source "$here/scripts/wine_steps.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
export WINEARCH=win64

ready=$WINEPREFIX/.ready
if [[ ! -f $ready ]]; then
    if ! mkdir -p "$WINEPREFIX" || ! exec 9>"$WINEPREFIX.lock"; then
        echo "making the Wine prefix $WINEPREFIX failed: its folder cannot be made" >&2
        exit 125
    fi
    # Several tests may start at once: one makes the prefix, the others wait.
    flock 9
    if [[ ! -f $ready ]]; then
        wine_make_prefix || exit 125
        touch "$ready"
    fi
    flock -u 9
    exec 9>&-
fi

# A Wine server that outlives each program by a while saves starting one per
# test (2 s each); one already running makes this one leave at once. Only a
# saving: when it fails, wine starts a server of its own.
wineserver -p 20 >/dev/null 2>&1 || true

# On a terminal, Wine gives the program a console, as a command prompt would.
if [[ -t 1 && -t 2 ]]; then
    exec wine "$@"
fi

# Wine's own background processes, started along with the program, inherit its
# output; were that a pipe, its reader would wait for them to end too. The
# program's output goes through files instead, passed on once it has ended.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
