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

ready=$WINEPREFIX/.ready
if [[ ! -f $ready ]]; then
    mkdir -p "$WINEPREFIX"
    # Several tests may start at once: one makes the prefix, the others wait.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [[ ! -f $ready ]]; then
        wineboot --init >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        touch "$ready"
    fi
    flock -u 9
    exec 9>&-
fi

# A Wine server that outlives each program by a while saves starting one per
# test (2 s each); one already running makes this one leave at once.
wineserver -p 20 >/dev/null 2>&1 || true

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
