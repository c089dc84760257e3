#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, quietly and without
# Wine offering to download its .NET or HTML engines. The prefix is made on
# first use, beside the build's files (WINEPREFIX may name another).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
export WINEARCH=win64
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    # Two runs starting the prefix at once would both build it: take turns.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [[ -f $WINEPREFIX/system.reg ]] || wineboot --init >/dev/null 2>&1 || true
    flock -u 9
fi
# A Wine server that outlives each program by a while saves starting one per
# test (2 s each); one already running makes this one leave at once.
wineserver -p 20 >/dev/null 2>&1 || true
exec wine "$@"
