#!/usr/bin/env bash
# Builds Pavolant and takes pictures of the main window on a virtual display:
#   build/screenshots/main.png          the window as it opens
#   build/screenshots/main-borders.png  the example road loaded, both borders shown
# The program draws the pictures itself (--screenshot), so only xvfb-run is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
wurzel=$PWD

cmake --preset dev >/dev/null
cmake --build --preset dev

ziel="$wurzel/build/screenshots"
mkdir -p "$ziel"
# A working directory of its own, so no settings file from an earlier run moves the
# window or changes what it shows.
ordner=$(mktemp -d)
trap 'rm -rf "$ordner"' EXIT

bild() {
  (cd "$ordner" && xvfb-run -a -s "-screen 0 1280x1024x24" "$wurzel/build/dev/app/pavolant" --screenshot "$@")
}
bild "$ziel/main.png"
bild "$ziel/main-borders.png" "$wurzel/examples/Dorfstrasse.ini"
echo "Wrote $ziel/main.png and $ziel/main-borders.png"
