#!/usr/bin/env bash
# The C++ sources and headers in the project's own layout (.clang-format).
#   scripts/format.sh apply   formats every tracked C++ file in place
#   scripts/format.sh check   lists the files that differ from their formatted form and
#                             fails (exit 1) if there are any; a test (CTest "format")
# Needs clang-format 14 (Debian 12; scripts/setup.sh installs it): other major versions
# lay out the same style differently, so the check would flap between machines. Without
# it the check is skipped (exit 77) with the reason, except with CI=true, where it fails.
set -euo pipefail
cd "$(dirname "$0")/.."

befehl=${1:-}
case "$befehl" in
  apply | check) ;;
  *)
    echo "usage: scripts/format.sh apply|check" >&2
    exit 2
    ;;
esac

fehlt() {
  if [ "${CI:-}" = true ]; then
    echo "format: $1" >&2
    exit 1
  fi
  echo "format: skipped: $1"
  exit 77
}

werkzeug=
if command -v clang-format-14 >/dev/null; then
  werkzeug=clang-format-14
elif command -v clang-format >/dev/null; then
  version=$(clang-format --version | sed -n 's/.*version \([0-9][0-9]*\)\..*/\1/p')
  [ "$version" = 14 ] || fehlt "clang-format is version ${version:-unknown}, the layout is fixed with version 14"
  werkzeug=clang-format
else
  fehlt "clang-format 14 is not installed (scripts/setup.sh installs it)"
fi

# Our own C++ files: everything tracked, and new files git does not ignore (sources,
# headers, tests, benchmarks, fuzz targets; build/ is ignored). The repository holds no
# third-party or generated C++; anything of that kind added later is excluded here.
dateien=()
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  while IFS= read -r -d '' datei; do
    # A tracked file deleted in the work tree is not there to format.
    if [ -f "$datei" ]; then dateien+=("$datei"); fi
  done < <(git ls-files -z --cached --others --exclude-standard --deduplicate -- \
    '*.cpp' '*.h' '*.hpp' '*.cc' '*.cxx' '*.hh' '*.hxx' '*.inl')
else
  while IFS= read -r -d '' datei; do
    dateien+=("${datei#./}")
  done < <(find . -path ./build -prune -o -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' -o -name '*.cxx' \
    -o -name '*.hh' -o -name '*.hxx' -o -name '*.inl' \) -print0 | sort -z)
fi
[ ${#dateien[@]} -gt 0 ] || { echo "format: no C++ files found" >&2; exit 1; }

if [ "$befehl" = apply ]; then
  printf '%s\0' "${dateien[@]}" | xargs -0 "$werkzeug" -i --style=file
  exit 0
fi

abweichend=()
for datei in "${dateien[@]}"; do
  if ! "$werkzeug" --style=file --dry-run --Werror "$datei" >/dev/null 2>&1; then
    abweichend+=("$datei")
  fi
done
if [ ${#abweichend[@]} -gt 0 ]; then
  printf '%s\n' "${abweichend[@]}"
  echo "format: ${#abweichend[@]} of ${#dateien[@]} files differ from their formatted form" \
    "($werkzeug); scripts/format.sh apply formats them" >&2
  exit 1
fi
echo "format: all ${#dateien[@]} C++ files are formatted ($werkzeug)"
