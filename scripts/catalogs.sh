#!/usr/bin/env bash
# The message catalogs in po/ and the texts the code marks for them (Tr, TrN,
# TrVorgemerkt, QTr, QEinsetzen).
#   scripts/catalogs.sh pot FILE [SOURCE...]
#                                  writes every marked text (of the sources given, else
#                                  of all) into the template FILE
#   scripts/catalogs.sh update     merges the template into po/*.po (new texts empty,
#                                  changed ones fuzzy, gone ones kept as obsolete)
#   scripts/catalogs.sh check      fails unless every marked text is in each catalog,
#                                  translated and not fuzzy, no catalog holds a text the
#                                  code no longer marks, and msgfmt --check passes
set -euo pipefail
cd "$(dirname "$0")/.."

vorlage() {
  # Sources in a fixed order, so that the template does not change with the file system.
  local ziel=$1 quellen
  shift
  if [ $# -gt 0 ]; then quellen="$*"
  else quellen=$(find model persistence generator ui app tools \( -name '*.cpp' -o -name '*.h' \) | LC_ALL=C sort); fi
  # The texts use %1…%9 (Einsetzen), never printf: no text is a C format.
  # shellcheck disable=SC2086
  xgettext --language=C++ --from-code=UTF-8 --no-wrap --sort-by-file --add-comments=Catalog: \
    --keyword= --keyword=Tr --keyword=TrN:1,2 --keyword=TrVorgemerkt --keyword=QTr --keyword=QEinsetzen:1 \
    --flag=Tr:1:no-c-format --flag=TrN:1:no-c-format --flag=TrN:2:no-c-format \
    --flag=TrVorgemerkt:1:no-c-format --flag=QTr:1:no-c-format --flag=QEinsetzen:1:no-c-format \
    --package-name=Pavolant --msgid-bugs-address=- -o "$ziel" $quellen
}

case "${1:-}" in
  pot)
    shift
    vorlage "${1:?which file}" "${@:2}"
    ;;
  update)
    tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
    vorlage "$tmp/pavolant.pot"
    for po in po/*.po; do msgmerge --quiet --no-wrap --no-fuzzy-matching --update --backup=none "$po" "$tmp/pavolant.pot"; done
    ;;
  check)
    tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
    vorlage "$tmp/pavolant.pot"
    fehler=0
    for po in po/*.po; do
      # Each text of the code in the catalog, translated (msgcmp counts an empty
      # translation as missing) ...
      if ! msgcmp "$po" "$tmp/pavolant.pot" 2>"$tmp/fehlt"; then
        echo "$po: texts of the code that the catalog lacks or leaves untranslated:"; cat "$tmp/fehlt"; fehler=1
      fi
      # ... and no text the code has dropped.
      if ! msgcmp --use-untranslated "$tmp/pavolant.pot" "$po" 2>"$tmp/alt"; then
        echo "$po: texts the code no longer has:"; cat "$tmp/alt"; fehler=1
      fi
      if ! msgfmt --check --statistics -o /dev/null "$po" 2>"$tmp/statistik"; then
        echo "$po: msgfmt --check failed:"; cat "$tmp/statistik"; fehler=1
      elif grep -Eq 'fuzzy|untranslated' "$tmp/statistik"; then
        echo "$po: $(cat "$tmp/statistik")"; fehler=1
      else
        echo "$po: $(cat "$tmp/statistik")"
      fi
    done
    exit $fehler
    ;;
  *)
    sed -n '2,13p' "$0" >&2; exit 2
    ;;
esac
