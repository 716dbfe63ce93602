#!/usr/bin/env bash
# The Windows download as a user meets it, under Wine on a virtual display (run by
# scripts/windows-test.sh after scripts/package-windows.sh):
# 1. The zip unpacked into a folder whose name has letters beyond ASCII; pavolant.exe
#    started there with the example road's parameter file as its argument (named with
#    those letters too) shows its main window; the output chosen in Windows' own save
#    dialog and a click on Go write the golden document byte for byte.
# 2. The installer, run silently, installs for the user (program folder, Start-menu
#    entries, the uninstaller's registry entry); the installed pavolant.exe starts; the
#    uninstaller removes all of it again.
# xdotool types and clicks; a window is found by its title.
set -euo pipefail
cd "$(dirname "$0")/.."
wurzel=$PWD
paket=pavolant-windows-x86_64
[ -f dist/$paket.zip ] && [ -f dist/$paket-setup.exe ] || { echo "desktop-test: run scripts/package-windows.sh first" >&2; exit 1; }

wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null && wine=$(command -v wine64)
wineserver=$(dirname "$wine")/wineserver
command -v wineserver >/dev/null && wineserver=$(command -v wineserver)
# Ends every Wine process of the prefix and waits until the server is gone, so that the
# next program does not meet a server on its way out.
wine_beenden() { "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; }
arbeit=$(mktemp -d)
export WINEPREFIX=$arbeit/prefix WINEDEBUG=-all LC_ALL=C.UTF-8 LANGUAGE=en
benutzer=${USER:-$(id -un)}  # Wine names the Windows user after the Unix one
# A display of its own (a free number, which Xvfb reports), without a window manager:
# Wine then places its windows itself.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$arbeit/anzeige" >/dev/null 2>&1 &
xvfb=$!
aufraeumen() {
  wine_beenden
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$arbeit"
}
trap aufraeumen EXIT
for _ in $(seq 100); do [ -s "$arbeit/anzeige" ] && break; sleep 0.1; done
[ -s "$arbeit/anzeige" ] || { echo "desktop-test: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$arbeit/anzeige")"
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# The window whose title starts with `titel`, waited for up to 60 s.
fenster() {
  local w=""
  for _ in $(seq 120); do
    w=$(xdotool search --name "^$1" 2>/dev/null | head -n 1) && [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.5
  done
  echo "desktop-test: no window '$1' appeared" >&2
  return 1
}

# 1. The zip.
ort="$arbeit/Stra"$'\xc3\x9f'"e "$'\xce\xb1'" "$'\xe2\x82\xac'
mkdir -p "$ort" "$arbeit/aus"
(cd "$ort" && cmake -E tar xf "$wurzel/dist/$paket.zip")
cp tests/golden/Beispiel.ini "$ort/$paket/Beispiel "$'\xc3\xa4'".ini"
start=$SECONDS
(cd "$ort/$paket" && "$wine" pavolant.exe "Z:$ort/$paket/Beispiel "$'\xc3\xa4'".ini" >"$arbeit/desktop.log" 2>&1 &) 2>/dev/null
w=$(fenster "Pavolant v")
echo "pavolant.exe showed its main window after $((SECONDS - start)) s"
sleep 2
xdotool search --name "Beispiel" >/dev/null || { echo "desktop-test: the example was not loaded" >&2; exit 1; }
# "i3d-File" at the top left opens Windows' own save dialog (Wine's here), whose name
# field has the focus: the preset name cleared, the path typed, Enter. Then Go, left of
# Preview at the top right. (xdotool types only ASCII into Wine, so the document's folder
# has an ASCII name; the folder beyond ASCII is the program's and its argument's.)
breite=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
xdotool mousemove --window "$w" 50 75 click 1
dialog=""
for _ in $(seq 60); do
  for kandidat in $(xdotool search --onlyvisible --classname pavolant.exe 2>/dev/null); do
    [ "$kandidat" = "$w" ] && continue
    b=$(xdotool getwindowgeometry "$kandidat" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    [ "${b:-0}" -ge 400 ] && dialog=$kandidat
  done
  [ -n "$dialog" ] && break
  sleep 0.5
done
[ -n "$dialog" ] || { echo "desktop-test: the save dialog did not open" >&2; exit 1; }
sleep 1
xdotool key End shift+Home BackSpace
xdotool type --delay 20 'Z:'"${arbeit//\//\\}"'\aus\road.i3d'
xdotool key Return
for _ in $(seq 20); do xdotool getwindowgeometry "$dialog" >/dev/null 2>&1 || break; sleep 0.5; done
sleep 0.5
xdotool mousemove --window "$w" $((breite - 179)) 91 click 1
for _ in $(seq 60); do [ -s "$arbeit/aus/road.i3d" ] && break; sleep 0.5; done
sleep 1
cmp "$arbeit/aus/road.i3d" tests/golden/Beispiel.i3d ||
  { echo "desktop-test: Go in pavolant.exe did not write the golden document" >&2; exit 1; }
echo "pavolant.exe from the zip, started in a folder named with letters beyond ASCII, wrote the golden document where its save dialog said."
wine_beenden

# 2. The installer, per user, silently; the uninstaller as "Apps & features" calls it.
"$wine" "Z:$wurzel/dist/$paket-setup.exe" /S || { echo "desktop-test: the installer failed ($?)" >&2; exit 1; }
programme="$WINEPREFIX/drive_c/users/$benutzer/AppData/Local/Programs/Pavolant"
[ -d "$programme" ] || programme=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Local/Programs/Pavolant' | head -n 1)
for datei in pavolant.exe pavolant-cli.exe Uninstall.exe platforms/qwindows.dll; do
  [ -f "$programme/$datei" ] || { echo "desktop-test: the installer left out $datei" >&2; exit 1; }
done
find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Pavolant/Pavolant.lnk' | grep -q . ||
  { echo "desktop-test: no Start-menu entry" >&2; exit 1; }
"$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pavolant' /v UninstallString >/dev/null 2>&1 ||
  { echo "desktop-test: no uninstall entry" >&2; exit 1; }
(cd "$programme" && "$wine" pavolant.exe >/dev/null 2>&1 &) 2>/dev/null
fenster "Pavolant v" >/dev/null
echo "The installed pavolant.exe started."
wine_beenden
"$wine" "C:\\users\\$benutzer\\AppData\\Local\\Programs\\Pavolant\\Uninstall.exe" /S ||
  { echo "desktop-test: the uninstaller failed ($?)" >&2; exit 1; }
# The uninstaller copies itself away and goes on from there.
for _ in $(seq 60); do [ -e "$programme" ] || break; sleep 0.5; done
[ ! -e "$programme" ] || { echo "desktop-test: the uninstaller left $(ls "$programme")" >&2; exit 1; }
! find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Pavolant*' | grep -q . ||
  { echo "desktop-test: the Start-menu entries stayed" >&2; exit 1; }
! "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pavolant' >/dev/null 2>&1 ||
  { echo "desktop-test: the uninstall entry stayed" >&2; exit 1; }
echo "The installer installed, started and uninstalled Pavolant."
