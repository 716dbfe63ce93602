#!/usr/bin/env bash
# Installs what is missing, builds Pavolant and starts it on the example road.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev

beispiel=examples/Dorfstrasse.ini
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on. The same road from the command line:"
  echo
  echo "  build/dev/app/pavolant-cli -o build/Dorfstrasse.i3d $beispiel"
  echo
  echo "(scripts/screenshots.sh shows the window without a display.)"
  exit 0
fi
exec build/dev/app/pavolant "$beispiel" "$@"
