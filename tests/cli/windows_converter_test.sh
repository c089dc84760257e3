#!/usr/bin/env bash
# varnholt-convert.exe under Wine: the fixtures convert to the same bytes as
# on Linux, in a folder with a non-ASCII name too; wildcards are expanded by
# the program in name order; "-" passes bytes through unchanged. The program's
# own lines end in CR LF on both streams and carry UTF-8 to files; a console
# shows non-ASCII names as themselves.
#   windows_converter_test.sh EMULATOR CONVERTER.exe DATA_DIR
set -euo pipefail
emulator=$1 converter=$2 data=$3
work=$(mktemp -d)
trap 'umount "$work/full" 2>/dev/null || true; rm -rf "$work"' EXIT
failures=0
check() { # what, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
run() { (cd "$work" && "$emulator" "$converter" "$@"); }

folder="Спутники 卫星"
mkdir -p "$work/$folder" "$work/many"
cp "$data/catalogue.csv" "$data/edges.csv" "$work/$folder/"
run "$folder\\catalogue.csv" "$folder/edges.csv" >"$work/out.txt"
check "catalogue converts byte for byte" cmp "$work/$folder/catalogue.TLE" "$data/catalogue.tle"
check "edge cases convert byte for byte" cmp "$work/$folder/edges.TLE" "$data/edges.tle"
check "the summary names the output in UTF-8" \
    grep -qF "$folder\\catalogue.csv: 8 satellites written to $folder\\catalogue.TLE" "$work/out.txt"

# The program's own lines end in CR LF on both streams, as the TLE's entries do.
ends_in_crlf() { # every line of the file ends in CR LF, and it has one at least
    [[ -s $1 ]] && ! grep -qv $'\r$' "$1" && [[ $(tail -c 2 "$1" | od -An -tx1) == " 0d 0a" ]]
}
set +e
run "$folder\\catalogue.csv" "$folder\\нет.csv" >"$work/out.txt" 2>"$work/err.txt"
status=$?
set -e
check "summary lines end in CR LF" ends_in_crlf "$work/out.txt"
check "error lines end in CR LF" ends_in_crlf "$work/err.txt"
check "the error names the file in UTF-8" \
    grep -qxF "varnholt-convert: $folder\\нет.csv: File not found"$'\r' "$work/err.txt"
check "and the exit status is 1" test "$status" -eq 1
run --help >"$work/out.txt"
check "the usage's lines end in CR LF" ends_in_crlf "$work/out.txt"
check "all of them" test "$(grep -c '' "$work/out.txt")" -ge 15
run --version >"$work/out.txt"
check "the version line ends in CR LF" ends_in_crlf "$work/out.txt"
set +e
run --no-such-option 2>"$work/err.txt"
status=$?
set -e
check "a usage error's lines end in CR LF" \
    diff "$work/err.txt" <(printf "varnholt-convert: unknown option '--no-such-option'\r\nTry 'varnholt-convert --help'.\r\n")
check "and the exit status is 2" test "$status" -eq 2

# Renumbering runs on across the files a wildcard gives, in name order
# whatever the letter case.
for name in b.csv A.csv c.CSV; do cp "$data/catalogue.csv" "$work/many/$name"; done
run --renumber 'many\*.csv' >"$work/out.txt"
check "wildcard expanded in name order" diff <(cut -d: -f1 "$work/out.txt") \
    <(printf 'many\\A.csv\nmany\\b.csv\nmany\\c.CSV\n')
check "renumbering starts at 20001 in the first file" \
    cmp "$work/many/A.TLE" "$data/catalogue-renumbered.tle"
check "renumbering goes on in the next file" \
    grep -q '^1 20009U' "$work/many/b.TLE"

set +e
run 'many\*.none' 2>"$work/err.txt"
status=$?
set -e
check "a wildcard matching nothing is named in the error" \
    grep -qF 'varnholt-convert: many\*.none: ' "$work/err.txt"
check "and the exit status is 1" test "$status" -eq 1

(cd "$work" && "$emulator" "$converter" - <"$data/catalogue.csv" >"$work/stdout.tle" 2>"$work/err.txt")
check "standard output carries the bytes unchanged" cmp "$work/stdout.tle" "$data/catalogue.tle"
check "the line on standard error ends in CR LF" \
    diff "$work/err.txt" <(printf -- '-: 8 satellites written to standard output; 3 numbers above 99999 in letter form (see --five-digit)\r\n')

# In a console, which Wine gives a program on a terminal, non-ASCII names show
# as themselves on both streams, whatever the console's code page (437 here,
# where UTF-8 bytes would show as other letters); a TLE on standard output too.
# The terminal's text is UTF-8, and the console may break long lines.
on_terminal() { # command line, run on a terminal of its own; prints what it showed
    (cd "$work" && LC_ALL=C.UTF-8 script -qec "$1" /dev/null </dev/null) | tr -d '\r\n' || true
}
printf -v command '%q ' "$emulator" "$converter" "$folder\\catalogue.csv" "нет.csv"
on_terminal "$command" >"$work/console.txt"
check "a console shows the summary's name" grep -qF "Спутники" "$work/console.txt"
check "and the error's" grep -qF "varnholt-convert: нет.csv: File not found" "$work/console.txt"
sed '2s/^VANGUARD 1,/Спутник 1,/' "$data/catalogue.csv" >"$work/named.csv"
printf -v command '%q ' "$emulator" "$converter" -
on_terminal "$command <named.csv" >"$work/console.txt"
check "a console shows a TLE's name" grep -qF "Спутник 1" "$work/console.txt"

# A full disk, where this machine lets a small file system be mounted (root):
# the error is the system's 112 and the TLE holds whole entries only.
mkdir -p "$work/full"
if mount -t tmpfs -o size=64k tmpfs "$work/full" 2>/dev/null; then
    for i in $(seq 1 60); do sed -n 2p "$data/catalogue.csv"; done >"$work/rows"
    { head -n 1 "$data/catalogue.csv"; for i in 1 2 3 4 5; do cat "$work/rows"; done; } >"$work/full/big.csv"
    set +e
    run "full/big.csv" 2>"$work/err.txt" >/dev/null
    status=$?
    set -e
    check "a full disk is I/O error 112" grep -qF 'full/big.csv: I/O error 112' "$work/err.txt"
    check "and the exit status is 1" test "$status" -eq 1
    entry_bytes=$(head -n 3 "$data/catalogue.tle" | wc -c)
    check "the TLE holds whole entries only" \
        test $(($(stat -c %s "$work/full/big.TLE") % entry_bytes)) -eq 0
    umount "$work/full"
else
    echo "skipped: a full disk (no tmpfs mount here)"
fi

[[ $failures -eq 0 ]]
