#!/usr/bin/env bash
# Installs what is missing, builds the two programs and starts Pavolant on the example
# road; without a display it generates the example road through the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
# Only what the run starts: the command line, the desktop program and the language
# catalogs beside them (the last two exist where Qt 6 and gettext's msgfmt are
# installed). The tests and benchmarks are left to scripts/test.sh.
ziele=(pavolant-cli)
for ziel in pavolant pavolant_kataloge; do
  if ninja -C build/dev -t query "$ziel" >/dev/null 2>&1; then ziele+=("$ziel"); fi
done
cmake --build --preset dev --target "${ziele[@]}"

beispiel=examples/Dorfstrasse.ini
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No window to open: the same road through the command line, which runs the window's
  # own "Go".
  build/dev/app/pavolant-cli -o build/Dorfstrasse.i3d "$beispiel"
  echo "Written: build/Dorfstrasse.i3d. To see the window: scripts/screenshots.sh, or run this on a desktop."
  exit 0
fi
exec build/dev/app/pavolant "$beispiel" "$@"
