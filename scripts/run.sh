#!/usr/bin/env bash
# Installs what is missing, builds Pavolant and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev

if [ -x build/dev/app/pavolant ]; then
  exec build/dev/app/pavolant "$@"
fi
# Until the desktop program is part of the build, run the command-line generator on the
# example road so the build ends in a document one can open.
echo "The desktop program is not part of this build yet; running the command-line generator"
echo "on examples/Dorfstrasse.ini instead:"
echo
build/dev/app/pavolant-cli -o build/Dorfstrasse.i3d examples/Dorfstrasse.ini
echo
echo "Wrote build/Dorfstrasse.i3d (open it in the level editor)."
