#!/usr/bin/env bash
# Installs every Debian package Pavolant needs to build, test and run.
# Idempotent: when everything is present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6opengl6-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev
  libopenimageio-dev libstb-dev zlib1g-dev
  libxml2-utils gettext qt6-translations-l10n
  clang llvm clang-format-14
  xvfb xauth x11-utils
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev googletest wine64 nsis xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
