#!/usr/bin/env bash
# Builds the command line for Windows (MinGW-w64, preset "windows") and packs the
# download for Windows users: dist/pavolant-cli-windows-x86_64.zip with pavolant-cli.exe,
# its message catalogs (locale/), the example road and a short README. The .exe is linked statically and needs nothing
# beside it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target pavolant-cli pavolant_kataloge

paket=pavolant-cli-windows-x86_64
ordner=$(mktemp -d)
trap 'rm -rf "$ordner"' EXIT
mkdir "$ordner/$paket"
cp build/windows/app/pavolant-cli.exe "$ordner/$paket/"
cp examples/Dorfstrasse.ini "$ordner/$paket/"
# The message catalogs beside the program, where it looks for them.
cp -r build/windows/locale "$ordner/$paket/"
# Windows line ends, so that Notepad of any age shows the lines.
sed 's/$/\r/' > "$ordner/$paket/README.txt" <<'TEXT'
Pavolant command line for Windows (64-bit)

Pavolant builds a road's triangle mesh from spline control points and a road
description and writes it as an i3d document that the level editor loads directly.

Unpack the folder anywhere; nothing needs to be installed. In a command prompt
(cmd or PowerShell) in that folder:

    pavolant-cli.exe -o Dorfstrasse.i3d Dorfstrasse.ini

writes the example road into Dorfstrasse.i3d and prints the run's report. Its
parameters are in Dorfstrasse.ini; change a copy of it for your own road.

    pavolant-cli.exe [--settings FILE] [--right-border FILE] [--left-border FILE]
                     [--splines FILE.i3d] [--tex-start V] [--save-params FILE]
                     [-o OUT.i3d] PARAMS.ini

--settings reads the fineness settings (Pavolant.ini of the desktop program),
--right-border / --left-border take that border from another parameter file,
--splines takes the control points from an i3d scene exported by the editor,
--tex-start sets the texture start, -o writes the document, --save-params saves the
parameters after the run (with the next road's texture start). pavolant-cli.exe
--help lists them all.

Messages are in English or German, after Windows' display language (the variable
LANGUAGE=en or LANGUAGE=de chooses one; keep the folder locale beside the program).
Numbers use the decimal separator of your regional settings (',' or '.'); both are
understood when reading. File names may hold any letters. An existing document is
replaced only once the new one is complete; a run that stops leaves it as it was.
Exit status: 0 done, 1 stopped by an error (the reason is on the error output),
2 wrong use of the options.
TEXT
ziel=$PWD/dist/$paket.zip
mkdir -p dist
rm -f "$ziel"
(cd "$ordner" && cmake -E tar cf "$ziel" --format=zip "$paket")
echo "Written: dist/$paket.zip"
