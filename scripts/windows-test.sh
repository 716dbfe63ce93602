#!/usr/bin/env bash
# The Windows build on Debian: cross-compiles everything with MinGW-w64 (preset
# "windows"): the core, the command line, the desktop program against the Qt for
# MinGW-w64 beside the repository (../shared/qt6-mingw), and the test programs; runs the
# tests under Wine (the widget tests on virtual displays); checks that the worked
# example's document written by pavolant-cli.exe is the Linux program's, byte for byte,
# also over an existing file under a name with letters beyond ASCII and under a bare or
# relative name typed in the document's folder, that it speaks German from its catalog
# under LANGUAGE=de and follows a German Windows locale's decimal comma. Then it packs
# the download (scripts/package-windows.sh), starts pavolant.exe from the unpacked zip in
# a folder named with letters beyond ASCII, loads the example through its argument, has
# Go write the golden document, takes the tour's Windows pictures, and installs, starts
# and uninstalls the installer. Without the Qt for MinGW-w64 (a clone elsewhere) the
# desktop's part is skipped with a reason; in CI (CI=true) that is a failure.
# Prints the time each part took.
set -euo pipefail
cd "$(dirname "$0")/.."
anfang=$SECONDS
wurzel=$PWD

bash scripts/setup.sh
mit_desktop=1
if ! compgen -G "../shared/qt6-mingw/qt6-mingw-*.tar.zst" >/dev/null; then
  if [ "${CI:-}" = true ]; then
    echo "windows-test: the Qt for MinGW-w64 (../shared/qt6-mingw) is missing" >&2
    exit 1
  fi
  echo "windows-test: SKIPPED the desktop program for Windows, its widget tests, the tour's pictures" \
       "and the installer: ../shared/qt6-mingw is missing"
  mit_desktop=0
fi
cmake --preset windows >/dev/null
cmake --build --preset windows
zeit_bau=$((SECONDS - anfang))
# The widget tests share one virtual display (and Wine's desktop process of the prefix,
# which stays bound to the display it started on: none may be left from an earlier run).
wineserver=/usr/lib/wine/wineserver
command -v wineserver >/dev/null && wineserver=$(command -v wineserver)
WINEPREFIX=$PWD/build/windows/wineprefix "$wineserver" -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --test-dir build/windows --output-on-failure -j 2
WINEPREFIX=$PWD/build/windows/wineprefix "$wineserver" -k 2>/dev/null || true
zeit_tests=$((SECONDS - anfang - zeit_bau))

wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null && wine=$(command -v wine64)
export WINEPREFIX=$PWD/build/windows/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
ordner=$(mktemp -d)
trap 'rm -rf "$ordner"' EXIT
ziel="$ordner/Stra"$'\xc3\x9f'"e "$'\xce\xb1'"/Dorf "$'\xe2\x82\xac'".i3d"
mkdir -p "$(dirname "$ziel")"
echo alt > "$ziel"
"$wine" build/windows/app/pavolant-cli.exe -o "Z:$ziel" tests/golden/Beispiel.ini >/dev/null
cmp "$ziel" tests/golden/Beispiel.i3d
if [ -x build/dev/app/pavolant-cli ]; then
  build/dev/app/pavolant-cli -o "$ordner/linux.i3d" tests/golden/Beispiel.ini >/dev/null
  cmp "$ziel" "$ordner/linux.i3d"
fi
[ "$(ls -A "$(dirname "$ziel")")" = "Dorf "$'\xe2\x82\xac'".i3d" ] || { echo "windows-test: stray files" >&2; exit 1; }
# Run in the document's folder with the names typed there: a bare name, a folder part
# with either slash, each over an existing file (the earlier tests used full paths only).
exe=$PWD/build/windows/app/pavolant-cli.exe
mkdir -p "$ordner/hier/unter"
cp tests/golden/Beispiel.ini "$ordner/hier/p.ini"
for name in out.i3d 'unter\out.i3d' unter/zwei.i3d; do
  datei="$ordner/hier/${name//\\//}"
  echo alt > "$datei"
  (cd "$ordner/hier" && "$wine" "$exe" -o "$name" p.ini >/dev/null) ||
    { echo "windows-test: -o $name in the document's folder failed" >&2; exit 1; }
  cmp "$datei" tests/golden/Beispiel.i3d
done
[ "$(ls -A "$ordner/hier" | tr '\n' ' ')" = "out.i3d p.ini unter " ] &&
  [ "$(ls -A "$ordner/hier/unter" | tr '\n' ' ')" = "out.i3d zwei.i3d " ] ||
  { echo "windows-test: stray files beside relative targets" >&2; exit 1; }
# The messages in German from the program's own catalog reader (MinGW has no gettext),
# the document the same bytes.
printf '[Fahrbahn_Geo]\r\nBreite=sieben\r\n[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nZ=10\r\n' > "$ordner/kaputt.ini"
fehler=$(LANGUAGE=de "$wine" build/windows/app/pavolant-cli.exe -o "Z:$ordner/de.i3d" "Z:$ordner/kaputt.ini" 2>&1 >/dev/null || true)
case "$fehler" in
  *"Fehler: 'sieben'"*) ;;
  *) echo "windows-test: no German message under LANGUAGE=de: $fehler" >&2; exit 1 ;;
esac
LANGUAGE=de "$wine" build/windows/app/pavolant-cli.exe -o "Z:$ordner/de.i3d" tests/golden/Beispiel.ini >/dev/null
cmp "$ordner/de.i3d" tests/golden/Beispiel.i3d
# A German Windows locale: the parameters saved with a decimal comma, the same document.
LC_ALL=de_DE.UTF-8 "$wine" build/windows/app/pavolant-cli.exe -o "Z:$ordner/de.i3d" \
  --save-params "Z:$ordner/de.ini" tests/golden/Beispiel.ini >/dev/null
grep -q '^TexL0=0,5' "$ordner/de.ini" || { echo "windows-test: no decimal comma under a German locale" >&2; exit 1; }
cmp "$ordner/de.i3d" tests/golden/Beispiel.i3d
echo "pavolant-cli.exe under Wine wrote the example's document byte for byte as on Linux."

if [ $mit_desktop = 1 ]; then
  teil=$SECONDS
  bash scripts/package-windows.sh
  zeit_paket=$((SECONDS - teil))
  teil=$SECONDS
  bash scripts/windows-desktop-test.sh
  bash scripts/windows-tour.sh build/windows/screenshots
  zeit_desktop=$((SECONDS - teil))
fi
echo "Windows stage: $((SECONDS - anfang)) s (build ${zeit_bau} s, tests ${zeit_tests} s${zeit_paket:+, packaging ${zeit_paket} s, desktop and installer ${zeit_desktop} s})"
