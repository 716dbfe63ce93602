#!/usr/bin/env bash
# Installs what is missing, builds Pavolant and starts it on the example road; without a
# display it generates the example road through the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev

beispiel=examples/Dorfstrasse.ini
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No window to open: the same road through the command line, which runs the window's
  # own "Go".
  build/dev/app/pavolant-cli -o build/Dorfstrasse.i3d "$beispiel"
  echo "Written: build/Dorfstrasse.i3d. To see the window: scripts/screenshots.sh, or run this on a desktop."
  exit 0
fi
exec build/dev/app/pavolant "$beispiel" "$@"
