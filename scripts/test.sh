#!/usr/bin/env bash
# Installs what is missing, builds Pavolant with its tests and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --test-dir build/dev --output-on-failure -j "$(nproc)"
