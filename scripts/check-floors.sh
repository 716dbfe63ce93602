#!/usr/bin/env bash
# Every project include must point to the same floor or one below it (docs/ARCHITECTURE.md):
#   model/        model/ only
#   persistence/  model/, persistence/
#   generator/    model/, generator/
#   ui/ (not qt)  model/, persistence/, generator/, ui/ except ui/qt/
#   ui/qt/        anything but app/
#   app/          anything but tests/ (the shipped programs carry no test helper; the
#                 screenshot tour in tools/ may use them)
# The model is standard C++ only: a system include there must name a standard library
# header, which has no ".h", no folder and no leading Q (as Qt's <QString> has).
# Nothing of the program includes an operating system's header (POSIX's <unistd.h>,
# <fcntl.h>, <signal.h>, <sys/...>, Windows' <windows.h>) but the platform layer,
# persistence/Plattform_<system>.cpp: the core, the windows' logic, the Qt views, the
# programs and the tools use the standard library, Qt and Plattform.h only, so they build
# everywhere.
# Prints each offending line as file:line: include and exits 1 when there is one.
set -u
cd "$(dirname "$0")/.." || exit 2

fehler=0
pruefe() {  # <folder> <regex of allowed include targets, or !regex of forbidden ones> <find options...>
    local ordner=$1 erlaubt=$2
    shift 2
    local verboten=0
    if [ "${erlaubt:0:1}" = '!' ]; then
        verboten=1
        erlaubt=${erlaubt:1}
    fi
    while IFS= read -r treffer; do
        ziel=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$treffer")
        # grep gives 0 for a match: an offence is a miss of the allowed or a hit of the forbidden.
        grep -Eq "^($erlaubt)" <<<"$ziel"
        if [ $? -ne "$verboten" ]; then
            echo "upward include: $treffer"
            fehler=1
        fi
    done < <(find "$ordner" "$@" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
             xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' )
}

pruefe model 'model/'
pruefe persistence 'model/|persistence/'
pruefe generator 'model/|generator/'
pruefe ui 'model/|persistence/|generator/|ui/[^/]+$' -path ui/qt -prune -o
pruefe ui/qt '!app/'
pruefe app '!tests/'

# Nor do the shipped programs compile a test helper's source into themselves (a comment
# may name the folder).
while IFS= read -r treffer; do
    echo "test source built into a shipped program: app/CMakeLists.txt:$treffer"
    fehler=1
done < <(grep -nE '^[^#]*(^|[^[:alnum:]_])tests/' app/CMakeLists.txt)

while IFS= read -r treffer; do
    echo "not standard C++ in model/: $treffer"
    fehler=1
done < <(find model -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
         xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]*[./][^>]*|Q[^>]*)>')

# C headers of the standard library keep their <c...> names here, so an include with
# ".h" or a folder is the system's (Qt's own headers are <QName> or <QtModule/QName>).
# The libraries beside Qt, portable and without a system's API: OpenImageIO, included by
# the preview's texture reader alone, stb_image, by the height image's reader, and zlib,
# by the PNG writer.
while IFS= read -r treffer; do
    if [[ $treffer == ui/qt/vorschau/Texturdatei.cpp:* && $treffer =~ \<OpenImageIO/[a-z_]+\.h\> ]]; then continue; fi
    if [[ $treffer =~ ^persistence/(Hoehenbild|StbBild)\.cpp:[0-9]+:#include\ \<stb/stb_image\.h\>$ ]]; then continue; fi
    if [[ $treffer =~ ^persistence/PngBild\.cpp:[0-9]+:#include\ \<zlib\.h\>$ ]]; then continue; fi
    echo "system header outside the platform layer: $treffer"
    fehler=1
done < <(find persistence generator ui app tools -type f \( -name '*.h' -o -name '*.cpp' \) \
              ! -path 'persistence/Plattform_*.cpp' -print0 |
         xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<[^Q>][^>]*[./][^>]*>')

if [ "$fehler" -ne 0 ]; then
    echo "check-floors: includes run against the floors (see docs/ARCHITECTURE.md)" >&2
    exit 1
fi
echo "check-floors: every include stays on its floor or goes down"
