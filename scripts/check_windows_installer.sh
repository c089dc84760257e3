#!/usr/bin/env bash
# Makes the Windows ZIP and installer and checks them. The ZIP holds exactly the
# files of packaging/expected-files-windows.txt. Under Wine, in a prefix of its
# own that is thrown away afterwards, the installer runs silently, twice (the
# second run replaces the first), and must leave those files, byte for byte the
# ZIP's, with the uninstaller in C:\Program Files\Varnholt, the Start-menu
# entries, the "Open with" keys for .csv and .json files and the Add/Remove
# Programs entry; the installed converter converts the test catalogue byte for
# byte. The uninstaller, run silently, must then take away every file, folder,
# shortcut and key, leaving the .csv type it found as it was, no .json key
# where there was none, and no mention of Varnholt anywhere in the registry. A
# Wine step that fails names itself and shows Wine's output.
#   scripts/check_windows_installer.sh   leaves build/windows/package/varnholt-<version>-win64.{zip,exe}
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine_steps.sh
source scripts/wine_steps.sh
scripts/deps.sh nsis wine wine64 python3

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" >/dev/null
(cd build/windows && cpack >/dev/null)
zip=$(ls build/windows/package/varnholt-*-win64.zip)
installer=${zip%.zip}.exe
top=$(basename "$zip" .zip)
echo "ZIP: $zip ($(stat -c %s "$zip") bytes)"
echo "installer: $installer ($(stat -c %s "$installer") bytes)"

status=0
fail() {
    echo "FAILED: $*" >&2
    status=1
}

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No .NET or HTML engine downloads, and no menu entries or file types made on
# this machine's desktop for the shortcuts and associations installed.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# The ZIP: one folder named like the file, holding exactly the expected files.
python3 - "$zip" "$work/zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    archive.extractall(sys.argv[2])
PY
expected_zip=$(sed "s#^#$top/#" packaging/expected-files-windows.txt)
actual_zip=$(cd "$work/zip" && find . -type f | sed 's#^\./##' | LC_ALL=C sort)
if [[ $actual_zip != "$expected_zip" ]]; then
    diff -u <(echo "$expected_zip") <(echo "$actual_zip") || true
    fail "the ZIP's files differ from packaging/expected-files-windows.txt"
fi

# The installer shows the program's icon: the images of the build's .ico are
# among its resources, byte for byte.
icon=build/windows/app_windows/varnholt.ico
icon_in() {
    python3 - "$icon" "$1" <<'PY'
import struct, sys
icon, program = (open(name, "rb").read() for name in sys.argv[1:3])
count = struct.unpack_from("<H", icon, 4)[0]
images = (struct.unpack_from("<II", icon, 6 + 16 * i + 8) for i in range(count))
sys.exit(count == 0 or not all(icon[offset:offset + size] in program for size, offset in images))
PY
}
icon_in "$installer" || fail "the installer does not show the program's icon"

# A step the checks build on: done, or the script ends naming it.
setup_step() { # what, then the command
    wine_step "$@" || exit 1
}
# A checked step: when it fails, the failure names it and shows Wine's output.
checked_step() { # what, then the command
    wine_step "$@" || fail "$1"
}
# reg query: the key or value absent is exit status 1 with reg's own message,
# checked by the caller. Any other failure is Wine's (Wine too ends with status
# 1 when it cannot start a program): it is shown with Wine's output and tried
# once more; a second one ends the script (or the subshell, whose check then
# fails). Wine's own background programs inherit a program's output: through a
# pipe its reader would wait for them too, so the output goes through a file.
reg_query() {
    local status attempt
    for attempt in 1 2; do
        status=0
        wine reg query "$@" >"$work/out" 2>"$work/err" || status=$?
        if ((status == 0)); then
            return 0
        fi
        if ((status == 1)) && grep -Eq '^reg: Unable to find the specified registry (key|value)' "$work/out" "$work/err"; then
            return 1
        fi
        cat "$work/err" >>"$work/out"
        wine_step_failed "reg query $* (attempt $attempt of 2)" "$status" "" "$work/out"
    done
    exit 1
}
# The key and all below it, for a failure's message.
reg_dump() {
    wine reg query "$1" /s >"$work/dump" 2>&1 || true
    tr -d '\r' <"$work/dump" | sed '/^$/d; s/^/    /'
}
# reg query's lines are "    name    type    data", "(Default)" naming the key's
# own value; prints the data of one value, fails when the key or value is absent.
reg_value() {
    reg_query "$1" /v "$2" || return 1
    awk -v name="$2" 'BEGIN { FS = "    " } { sub(/\r$/, "") } $2 == name { print $4; found = 1 }
        END { exit !found }' "$work/out"
}
reg_default() {
    reg_query "$1" /ve || return 1
    awk 'BEGIN { FS = "    " } { sub(/\r$/, "") } $2 == "(Default)" { print $4; found = 1 }
        END { exit !found }' "$work/out"
}
reg_key_exists() {
    reg_query "$1"
}
expect_value() { # key name expected
    local got
    got=$(reg_value "$1" "$2") || got="(absent)"
    [[ $got == "$3" ]] || fail "$1 $2 is '$got', not '$3'; the key holds:
$(reg_dump "$1")"
}
expect_default() { # key expected
    local got
    got=$(reg_default "$1") || got="(absent)"
    [[ $got == "$2" ]] || fail "$1 (Default) is '$got', not '$2'; the key holds:
$(reg_dump "$1")"
}

started=$SECONDS
wine_make_prefix || exit 1

# .csv files already belong to another program, as on any Windows.
setup_step "giving .csv files to csvfile" wine reg add 'HKCR\.csv' /ve /d csvfile /f
# .json files belong to nobody: the installer makes their key, the uninstaller removes it.
if reg_key_exists 'HKCR\.json'; then
    setup_step "removing Wine's .json key" wine reg delete 'HKCR\.json' /f
fi

drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/Varnholt"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Varnholt"
application='HKCR\Applications\varnholt.exe'
open_with='HKCR\.csv\OpenWithList'
json_open_with='HKCR\.json\OpenWithList'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnholt'
vendor_key='HKLM\Software\The Varnholt developers'

checked_step "the installer's silent run" wine "$installer" /S
# A second run finds this installation and has its uninstaller remove it first:
# a value added to its keys in between is gone afterwards.
setup_step "adding a value to $application" wine reg add "$application" /v Stale /d 1 /f
checked_step "the installer's second silent run" wine "$installer" /S
if reg_value "$application" Stale >/dev/null; then
    fail "the second run installed over the first without removing it"
fi

# What the installer left.
if [[ -d $folder ]]; then
    expected_installed=$( (cat packaging/expected-files-windows.txt && echo Uninstall.exe) | LC_ALL=C sort)
    actual_installed=$(cd "$folder" && find . -type f | sed 's#^\./##' | LC_ALL=C sort)
    if [[ $actual_installed != "$expected_installed" ]]; then
        diff -u <(echo "$expected_installed") <(echo "$actual_installed") || true
        fail "the installed files differ from packaging/expected-files-windows.txt and Uninstall.exe"
    fi
    while read -r file; do
        cmp -s "$folder/$file" "$work/zip/$top/$file" || fail "the installed $file differs from the ZIP's"
    done <packaging/expected-files-windows.txt
else
    fail "nothing installed in C:\\Program Files\\Varnholt"
fi

if [[ -f $folder/Uninstall.exe ]] && ! icon_in "$folder/Uninstall.exe"; then
    fail "the uninstaller does not show the program's icon"
fi
for link in Varnholt.lnk Uninstall.lnk; do
    [[ -f $menu/$link ]] || fail "no Start-menu entry $link"
done
# A shortcut keeps its target's full path as text.
grep -qaF 'C:\Program Files\Varnholt\varnholt.exe' "$menu/Varnholt.lnk" 2>/dev/null ||
    fail "the Start-menu entry Varnholt does not start C:\\Program Files\\Varnholt\\varnholt.exe"

expect_value "$application" FriendlyAppName Varnholt
expect_default "$application\\shell\\open\\command" '"C:\Program Files\Varnholt\varnholt.exe" "%1"'
expect_value "$application\\SupportedTypes" .csv ""
expect_value "$application\\SupportedTypes" .txt ""
expect_value "$application\\SupportedTypes" .json ""
reg_key_exists "$open_with\\varnholt.exe" || fail "no $open_with\\varnholt.exe"
reg_key_exists "$json_open_with\\varnholt.exe" || fail "no $json_open_with\\varnholt.exe"
expect_default 'HKCR\.csv' csvfile

expect_value "$uninstall_key" DisplayName Varnholt
version=${top#varnholt-}
expect_value "$uninstall_key" DisplayVersion "${version%-win64}"
expect_value "$uninstall_key" Publisher "The Varnholt developers"
expect_value "$uninstall_key" DisplayIcon 'C:\Program Files\Varnholt\varnholt.exe'
expect_value "$uninstall_key" InstallLocation 'C:\Program Files\Varnholt'
expect_value "$uninstall_key" UninstallString '"C:\Program Files\Varnholt\Uninstall.exe"'
expect_value "$uninstall_key" NoModify 0x1
expect_value "$uninstall_key" NoRepair 0x1
size=$(reg_value "$uninstall_key" EstimatedSize) || size=0
(( size > 0 )) || fail "$uninstall_key EstimatedSize is '$size'"

mkdir -p "$drive_c/work"
cp tests/data/catalogue.csv "$drive_c/work/"
checked_step "the installed converter" \
    wine 'C:\Program Files\Varnholt\varnholt-convert.exe' 'C:\work\catalogue.csv'
cmp "$drive_c/work/catalogue.TLE" tests/data/catalogue.tle || fail "the installed converter's output"
rm -rf "$drive_c/work"

# The uninstaller copies itself to the temporary folder, starts the copy and
# returns at once: the Wine server ends only when the copy has.
checked_step "the uninstaller's silent run" wine 'C:\Program Files\Varnholt\Uninstall.exe' /S
setup_step "waiting for the uninstaller" wineserver -w

[[ ! -e $folder ]] || fail "C:\\Program Files\\Varnholt remains: $(find "$folder" -mindepth 1 -printf '%P ')"
[[ ! -e $menu ]] || fail "the Start-menu folder Varnholt remains: $(find "$menu" -mindepth 1 -printf '%P ')"
for key in "$application" "$open_with" 'HKCR\.json' "$uninstall_key" "$vendor_key"; do
    if reg_key_exists "$key"; then fail "$key remains"; fi
done
expect_default 'HKCR\.csv' csvfile
setup_step "waiting for the Wine server to end" wineserver -w
# The Wine server has written the registry to these files as it ended.
leftovers=$(grep -il varnholt "$WINEPREFIX"/*.reg || true)
[[ -z $leftovers ]] || fail "the registry still mentions Varnholt: $(grep -ih varnholt "$WINEPREFIX"/*.reg)"
leftovers=$(find "$drive_c" -iname '*varnholt*')
[[ -z $leftovers ]] || fail "files remain: $leftovers"

echo "installer checks under Wine: $((SECONDS - started)) s"
[[ $status -eq 0 ]] && echo "Windows package checks passed"
exit "$status"
