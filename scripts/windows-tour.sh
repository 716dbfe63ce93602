#!/usr/bin/env bash
# The screenshot tour once as a Windows program under Wine on a virtual display:
#   scripts/windows-tour.sh DIR
# writes DIR/main-windows.png (the main window after "Go") and DIR/preview-windows.png
# (the road preview's 3-D view) from the MinGW build (build/windows, which must have been
# built with the Qt for MinGW-w64). Run by scripts/screenshots.sh and scripts/windows-test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
wurzel=$PWD
ziel=${1:?usage: windows-tour.sh DIR}
mkdir -p "$ziel"
ziel=$(cd "$ziel" && pwd)

cmake --build build/windows --target pavolant-tour pavolant_kataloge >/dev/null
wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null && wine=$(command -v wine64)
mingw=x86_64-w64-mingw32-g++-posix
gcc_ordner=$(dirname "$($mingw -print-file-name=libstdc++-6.dll)")
pthread_ordner=$(dirname "$(readlink -f "$($mingw -print-file-name=libwinpthread-1.dll)")")
export WINEPREFIX=$wurzel/build/windows/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8 LANGUAGE=en
export WINEPATH="Z:$wurzel/build/windows/qt6-mingw/bin;Z:$gcc_ordner;Z:$pthread_ordner"
wineserver=$(dirname "$wine")/wineserver
command -v wineserver >/dev/null && wineserver=$(command -v wineserver)
ordner=$(mktemp -d)
# Wine's processes of the prefix end with the tour: they stay bound to its display.
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$ordner"' EXIT
"$wineserver" -k 2>/dev/null || true
# A working directory of its own, so that no settings file of an earlier run counts.
(cd "$ordner" && xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$wurzel/build/windows/tools/pavolant-tour.exe" \
  "Z:$ordner" "Z:$wurzel/examples/Dorfstrasse.ini" 2>"$ordner/fehler.txt") ||
  { grep -v 'EnableNonClientDpiScaling\|fromWinHICON' "$ordner/fehler.txt" >&2; exit 1; }
for paar in main-after-go:main-windows preview-3d:preview-windows; do
  [ -s "$ordner/${paar%%:*}.png" ] || { echo "windows-tour: ${paar%%:*}.png was not written" >&2; exit 1; }
  cp "$ordner/${paar%%:*}.png" "$ziel/${paar##*:}.png"
done
echo "Written: $ziel/main-windows.png, $ziel/preview-windows.png"
