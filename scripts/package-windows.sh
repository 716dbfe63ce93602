#!/usr/bin/env bash
# Builds Pavolant for Windows (MinGW-w64, preset "windows", against the Qt for MinGW-w64
# beside the repository) and packs the download for Windows users:
#   dist/pavolant-windows-x86_64.zip        unpack anywhere and start pavolant.exe
#   dist/pavolant-windows-x86_64-setup.exe  a per-user installer (NSIS) with a Start-menu
#                                           entry and an uninstaller
# Both hold pavolant.exe (the desktop program) and pavolant-cli.exe, the DLLs and Qt
# plugins the desktop program loads and nothing more (each found through the MinGW
# objdump import lists), the message catalogs, Qt's German catalog, the example road,
# a README for Windows users, and the licence texts of Qt and of MinGW's runtime with
# where their sources come from. Without the Qt for MinGW-w64 only the command line is
# packed (dist/pavolant-cli-windows-x86_64.zip), as before.
set -euo pipefail
cd "$(dirname "$0")/.."
wurzel=$PWD

bash scripts/setup.sh
cmake --preset windows >/dev/null
build=build/windows
qt=$build/qt6-mingw
mit_desktop=1
[ -d "$qt/bin" ] || mit_desktop=0
ziele=(pavolant-cli pavolant_kataloge)
[ $mit_desktop = 1 ] && ziele+=(pavolant)
cmake --build --preset windows --target "${ziele[@]}"

paket=pavolant-windows-x86_64
[ $mit_desktop = 1 ] || paket=pavolant-cli-windows-x86_64
ordner=$(mktemp -d)
trap 'rm -rf "$ordner"' EXIT
inhalt=$ordner/$paket
mkdir "$inhalt"
cp $build/app/pavolant-cli.exe examples/Dorfstrasse.ini "$inhalt/"
# The message catalogs beside the programs, where they look for them.
cp -r $build/locale "$inhalt/"
# Windows line ends, so that Notepad of any age shows the lines.
crlf() { sed 's/\r*$/\r/' "$@"; }

if [ $mit_desktop = 1 ]; then
  cp $build/app/pavolant.exe "$inhalt/"
  mingw=x86_64-w64-mingw32
  gcc_ordner=$(dirname "$($mingw-g++-posix -print-file-name=libstdc++-6.dll)")
  pthread_ordner=$(dirname "$(readlink -f "$($mingw-g++-posix -print-file-name=libwinpthread-1.dll)")")
  # The plugins Qt loads by name: the platform (windows), the native style, and JPEG
  # for the preview's textures (PNG is built into Qt's GUI library; DDS and TGA are
  # read by the program itself).
  for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll; do
    mkdir -p "$inhalt/$(dirname $plugin)"
    cp "$qt/plugins/$plugin" "$inhalt/$plugin"
  done
  # Every DLL the programs and plugins import, and what those import in turn, where it
  # is Qt's or MinGW's; the rest are Windows' own.
  einfuhren() { $mingw-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
  offen=("$inhalt"/*.exe "$inhalt"/*/*.dll)
  while [ ${#offen[@]} -gt 0 ]; do
    datei=${offen[0]}
    offen=("${offen[@]:1}")
    for dll in $(einfuhren "$datei"); do
      [ -e "$inhalt/$dll" ] && continue
      for quelle in "$qt/bin" "$gcc_ordner" "$pthread_ordner"; do
        if [ -e "$quelle/$dll" ]; then
          cp "$quelle/$dll" "$inhalt/"
          offen+=("$inhalt/$dll")
          break
        fi
      done
    done
  done
  # Nothing unused: each DLL beside the programs is imported by a file of the package.
  for dll in "$inhalt"/*.dll; do
    name=$(basename "$dll")
    genutzt=0
    for datei in "$inhalt"/*.exe "$inhalt"/*.dll "$inhalt"/*/*.dll; do
      einfuhren "$datei" | grep -qx "$name" && { genutzt=1; break; }
    done
    [ $genutzt = 1 ] || { echo "package-windows: $name is shipped but imported by nothing" >&2; exit 1; }
  done
  # Without their symbol tables (Debian's C++ runtime carries 20 MB of them); the code is
  # unchanged, and a DLL stays replaceable.
  for datei in "$inhalt"/*.exe "$inhalt"/*.dll "$inhalt"/*/*.dll; do $mingw-strip --strip-unneeded "$datei"; done
  # Qt's own texts (the standard buttons, the file dialog) in German, from Debian's Qt
  # of the same version; qt.conf tells Qt that its files are beside the program.
  mkdir "$inhalt/translations"
  cp /usr/share/qt6/translations/qtbase_de.qm "$inhalt/translations/"
  printf '[Paths]\r\nPrefix = .\r\nTranslations = translations\r\n' > "$inhalt/qt.conf"
  # The licences: Qt's (LGPL 3; its DLLs stay replaceable, being shared), and those of
  # MinGW-w64's runtime (GCC's with the runtime library exception, winpthreads').
  mkdir -p "$inhalt/licenses/Qt" "$inhalt/licenses/MinGW-w64"
  for f in "$qt"/LICENSES/*; do crlf "$f" > "$inhalt/licenses/Qt/$(basename "$f")"; done
  crlf ../shared/qt6-mingw/build.sh > "$inhalt/licenses/Qt/build.sh.txt"
  crlf /usr/share/doc/gcc-mingw-w64-base/copyright > "$inhalt/licenses/MinGW-w64/gcc-runtime.txt"
  crlf /usr/share/doc/mingw-w64-x86-64-dev/copyright > "$inhalt/licenses/MinGW-w64/mingw-w64-runtime.txt"
  crlf packaging/windows/SOURCES.txt > "$inhalt/licenses/SOURCES.txt"
  crlf packaging/windows/README.txt > "$inhalt/README.txt"
else
  crlf packaging/windows/README-cli.txt > "$inhalt/README.txt"
fi

mkdir -p dist
zip=$wurzel/dist/$paket.zip
rm -f "$zip"
(cd "$ordner" && cmake -E tar cf "$zip" --format=zip "$paket")
echo "Written: dist/$paket.zip ($(stat -c %s "$zip") bytes)"

if [ $mit_desktop = 1 ]; then
  version=$(sed -n 's/^project(Pavolant VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  setup=$wurzel/dist/$paket-setup.exe
  rm -f "$setup"
  makensis -V2 -DINHALT="$inhalt" -DZIEL="$setup" -DVERSION="$version" packaging/windows/pavolant.nsi
  echo "Written: dist/$paket-setup.exe ($(stat -c %s "$setup") bytes)"
fi
