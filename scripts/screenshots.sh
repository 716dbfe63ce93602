#!/usr/bin/env bash
# Builds Pavolant and takes pictures of its windows on a virtual display, so anyone can
# look at the program without a display of their own:
#   scripts/screenshots.sh [DIR]      (default: docs/screenshots)
# DIR receives main-fresh.png (the window as it opens), main-example.png (the example
# road loaded, both borders on), main-after-go.png (after "Go", the report in the memo;
# main-after-go-de.png the same in German; the others speak English),
# main-1366x768.png (the whole screen of a 1366 x 768 laptop after "Go", a task bar's
# 48 pixels kept free),
# profile-distorted.png and profile-undistorted.png (the example's cross-section) and
# listing.png (the right border's listing), preview-3d.png and preview-plan.png (the
# road preview after "Go"), preview-uvcheck.png (a close-up as a checker in the texture
# coordinates), preview-textured.png (the same with DDS textures written beside the
# document), preview-plan-drag.png (point 3 dragged in the plan view, the live road
# following), preview-terrain.png and preview-terrain-plan.png (the road dropped onto a
# terrain of hills the tour makes, in 3-D and over the plan's shaded relief),
# points-table.png (the points table beside the point editor), import-tree.png (the
# import's choice on a scene of several splines, one group picked in its tree),
# terrain-plot.png (the plot "Road and terrain" of the road over a rolling ground the tour
# makes), unsaved-question.png (closing the changed road asks first)
# and error-field.png (letters in the roadway width stop "Go" with an error naming the
# field); main-windows.png and preview-windows.png are the Windows program's under Wine
# (scripts/windows-tour.sh). The screenshot tour (build/dev/tools/pavolant-tour, built beside the program,
# never installed) starts the program's main window and takes the pictures itself, so
# only xvfb-run is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
wurzel=$PWD

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev

ziel=${1:-docs/screenshots}
mkdir -p "$ziel"
ziel=$(cd "$ziel" && pwd)
# A working directory of its own, so no settings file from an earlier run moves the
# window or changes what it shows.
ordner=$(mktemp -d)
trap 'rm -rf "$ordner"' EXIT

# The pictures speak English; main-after-go-de.png shows the same window in German.
(cd "$ordner" && env LC_ALL=C.UTF-8 LANGUAGE=en xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wurzel/build/dev/tools/pavolant-tour" "$ziel" "$wurzel/examples/Dorfstrasse.ini")
mkdir "$ordner/de"
(cd "$ordner" && env LC_ALL=C.UTF-8 LANGUAGE=de xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wurzel/build/dev/tools/pavolant-tour" "$ordner/de" "$wurzel/examples/Dorfstrasse.ini")
cp "$ordner/de/main-after-go.png" "$ziel/main-after-go-de.png"
rm -rf "$ordner/de"
# A laptop's screen: 1366 x 768 with the bottom 48 pixels reserved as a task bar would
# (the work area a window manager announces, set on the root window; -noreset keeps it
# after xprop disconnects). Without xprop the window has the whole screen.
mkdir "$ordner/laptop"
(cd "$ordner" && env LC_ALL=C.UTF-8 LANGUAGE=en xvfb-run -a -s "-noreset -screen 0 1366x768x24" bash -c '
  if command -v xprop >/dev/null; then
    xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_WORKAREA
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1366, 720"
  else
    echo "screenshots.sh: no xprop (Debian: x11-utils), so no task bar on the laptop screen" >&2
  fi
  exec "$@"' laptop "$wurzel/build/dev/tools/pavolant-tour" "$ordner/laptop" "$wurzel/examples/Dorfstrasse.ini")
cp "$ordner/laptop/main-1366x768.png" "$ziel/main-1366x768.png"
rm -rf "$ordner/laptop"
# The desktop program for Windows, once under Wine: main-windows.png (after "Go") and
# preview-windows.png, where the Qt for MinGW-w64 is beside the repository.
if compgen -G "../shared/qt6-mingw/qt6-mingw-*.tar.zst" >/dev/null; then
  cmake --preset windows >/dev/null
  bash scripts/windows-tour.sh "$ziel"
else
  echo "screenshots.sh: no ../shared/qt6-mingw, so no pictures of the Windows program" >&2
fi
echo "Screenshots in $ziel:"
ls "$ziel"
