# shellcheck shell=bash
# Wine steps that either succeed or fail with a message naming the step and
# showing Wine's own output, for the scripts that run Windows programs under
# Wine. Sourced, not run; WINEPREFIX names the prefix.
#
#   wine_step WHAT COMMAND [ARGUMENT...]
#       Runs COMMAND (wine, wineboot, wineserver, or a script that runs them)
#       with its output kept in a file; returns its exit status. On failure,
#       prints to standard error "WHAT failed (exit status N)", the command
#       line (unless COMMAND is a function here) and what COMMAND printed.
#   wine_make_prefix
#       Makes the prefix (wineboot --init), waits until the Wine server has
#       ended (wineserver -w) and checks that the prefix holds Windows' own
#       programs; after a failure it ends the server and tries once more.

# Prints the message of a failed step: its name, status and command line, then
# the files the step wrote, each line indented.
wine_step_failed() { # WHAT STATUS COMMAND-LINE OUTPUT-FILE
    {
        echo "$1 failed (exit status $2)"
        [[ -z $3 ]] || echo "command: $3"
        if [[ -s $4 ]]; then
            echo "Wine's output:"
            sed 's/^/    /' "$4"
        else
            echo "Wine printed nothing."
        fi
    } >&2
}

# The words, quoted where they hold blanks or quotes.
wine_command_line() {
    local word line=
    for word; do
        if [[ $word =~ ^[-A-Za-z0-9_./:=@%+,\\\$]+$ ]]; then
            line+=" $word"
        else
            line+=" ${word@Q}"
        fi
    done
    echo "${line# }"
}

wine_step() {
    local what=$1 status=0 output
    shift
    output=$(mktemp) || return
    # Into a file, not a pipe: Wine's background programs inherit the output,
    # and a pipe's reader would wait for them to end too.
    "$@" >"$output" 2>&1 || status=$?
    if ((status != 0)); then
        local line=
        # A function of these scripts is named by WHAT alone.
        [[ $(type -t "$1") == function ]] || line=$(wine_command_line "$@")
        wine_step_failed "$what" "$status" "$line" "$output"
    fi
    rm -f "$output"
    return "$status"
}

# One attempt at the prefix. A prefix whose making was cut short has no
# system32\reg.exe, and every later "wine reg" would end with Wine's "cannot
# find" (exit status 53).
wine_boot_prefix() {
    wineboot --init || return
    wineserver -w || return
    local program
    for program in system.reg drive_c/windows/system32/reg.exe; do
        if [[ ! -f $WINEPREFIX/$program ]]; then
            echo "wineboot left no $WINEPREFIX/$program"
            return 1
        fi
    done
}

wine_make_prefix() {
    local what="making the Wine prefix $WINEPREFIX (wineboot --init, wineserver -w)"
    if wine_step "$what" wine_boot_prefix; then
        return 0
    fi
    echo "trying once more" >&2
    wineserver -k >/dev/null 2>&1 || true
    wine_step "$what, second attempt" wine_boot_prefix
}
