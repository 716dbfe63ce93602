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
echo "Built the Pavolant core (road model, number formats, INI files) into build/dev."
echo "The desktop program is not part of this build yet; 'bash scripts/test.sh' runs what exists."
