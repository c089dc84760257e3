#!/usr/bin/env bash
# Takes the Windows program's screenshots in docs/screenshots/ under Wine, on a
# virtual Windows desktop of 1024 x 768 on a virtual X display:
#   windows-main-window.png    the main window with its File menu open
#   windows-summary.png        the summary after converting a small file
#   windows-about.png          the About window
#   windows-help.png           the help window (Wine's viewer shows the contents
#                              tree; without Wine's HTML engine its page pane stays empty)
#
#   scripts/windows_screenshots.sh [BUILD_DIR]     BUILD_DIR defaults to build/windows
#
# Needs the Debian packages xvfb xdotool imagemagick x11-apps, besides the
# cross build's (scripts/deps.sh test).
#
# Under Wine 8 a message box or a menu that lies wholly over the main window
# stays black on the X display, although it has drawn itself: Wine does not pass
# that window's picture on to X. Those pictures are therefore the screen with
# the window's own picture, read from the window, laid over it at its place.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath -m "${1:-build/windows}")
program=$build/app/varnholt.exe
out=$(realpath docs/screenshots)
[[ -f $program ]] || {
    echo "no program at $program: build first (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 1
}
for tool in Xvfb xdotool xwd convert wine x86_64-w64-mingw32-g++-posix; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: apt-get install xvfb xdotool imagemagick x11-apps (and scripts/deps.sh test)" >&2
        exit 1
    }
done

work=$(mktemp -d /tmp/varnholt-windows-shots-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" WINEARCH=win64
display=:$((90 + RANDOM % 100))
export DISPLAY=$display
cleanup() {
    wineserver -k 2>/dev/null || true
    [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# grab.exe CLASS FILE: the picture a shown window of CLASS drew into itself, as
# a BMP, and its place on the screen.
cat >"$work/grab.cpp" <<'CODE'
#include <windows.h>
#include <cstdio>
#include <vector>
static HWND box;
static BOOL CALLBACK findBox(HWND window, LPARAM wanted) {
    char name[16] {};
    GetClassNameA(window, name, 16);
    if (IsWindowVisible(window) && lstrcmpA(name, reinterpret_cast<const char *>(wanted)) == 0) { box = window; return FALSE; }
    return TRUE;
}
int main(int, char **argv) {
    EnumWindows(findBox, reinterpret_cast<LPARAM>(argv[1]));
    if (!box) return 1;
    RECT frame; GetWindowRect(box, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen), window = GetWindowDC(box);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    BITMAPINFOHEADER info { sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<char> pixels(static_cast<size_t>((width * 3 + 3) & ~3) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file { 0x4D42, static_cast<DWORD>(sizeof file + sizeof info + pixels.size()), 0, 0, sizeof file + sizeof info };
    FILE *bmp = fopen(argv[2], "wb");
    fwrite(&file, sizeof file, 1, bmp); fwrite(&info, sizeof info, 1, bmp); fwrite(pixels.data(), 1, pixels.size(), bmp);
    fclose(bmp);
    printf("+%ld+%ld\n", frame.left, frame.top);
    return 0;
}
CODE
x86_64-w64-mingw32-g++-posix -O1 -static -o "$work/grab.exe" "$work/grab.cpp" -lgdi32

wineboot --init >/dev/null 2>&1
wineserver -w
# Where an installed program and a user's file would be.
installed="$WINEPREFIX/drive_c/Program Files/Varnholt"
mkdir -p "$installed" "$WINEPREFIX/drive_c/Satellites"
# The caption buttons are drawn from Marlett, which Debian keeps outside the prefix.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
cp "$program" "$build/app/VARNHOLT.chm" "$installed/"
cp tests/data/catalogue.csv "$WINEPREFIX/drive_c/Satellites/active.csv"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
desktop() { wine explorer /desktop=varnholt,1024x768 "$@"; }
shot() { sleep "${2:-1}"; xwd -root -silent | convert xwd:- "$work/$1.png"; }
# The main window stands at 320,246 on this screen; the About window at 312,241.
crop() { convert "$work/$1.png" -crop "$2" +repage "$out/$3"; }
# over SHOT CLASS: lays the window of CLASS over the screenshot SHOT.
over() {
    local place
    place=$(desktop "$work/grab.exe" "$2" "$(winepath -w "$work/$2.bmp")" | tr -d '\r')
    convert "$work/$1.png" "$work/$2.bmp" -geometry "$place" -composite "$work/$1.png"
}

desktop "C:\\Program Files\\Varnholt\\varnholt.exe" &
sleep 4
# The File menu, opened by a click on its caption in the menu bar.
xdotool mousemove 338 279 click 1
shot main 1
over main "#32768"
crop main 420x330+300+230 windows-main-window.png
xdotool key Escape Escape
sleep 0.5

# Load CSV file from the File menu; the dialog takes the typed name.
xdotool mousemove 338 279 click 1
sleep 0.5
xdotool key Down Return
sleep 1.5
xdotool type --delay 20 'C:\Satellites\active.csv'
xdotool key Return
shot summary 2
over summary "#32770"
crop summary 420x330+300+230 windows-summary.png
xdotool key Return
sleep 0.5

# About, on the menu bar.
xdotool mousemove 506 279 click 1
shot about 1.5
crop about 420x330+300+230 windows-about.png
xdotool key alt+F4
sleep 0.5

# Help, on the menu bar.
xdotool mousemove 420 279 click 1
shot help 3
convert "$work/help.png" "$out/windows-help.png"
echo "screenshots written to $out"
