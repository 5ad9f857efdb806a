#!/usr/bin/env bash
# The catalogues held to the program's texts: the template holds exactly the
# texts the sources mark (scripts/pot.sh makes it), and every catalogue in po/
# translates each of them, none left fuzzy, and nothing else.
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
bash "$src/scripts/pot.sh" "$tmp/now.pot" 2>/dev/null || { echo "FAIL: scripts/pot.sh could not make the template"; exit 1; }
if ! msgcmp --use-untranslated "$tmp/now.pot" "$src/po/pikora.pot" >"$tmp/out" 2>&1 ||
   ! msgcmp --use-untranslated "$src/po/pikora.pot" "$tmp/now.pot" >>"$tmp/out" 2>&1; then
  echo "FAIL: po/pikora.pot is not the template of the texts marked now; run scripts/pot.sh"
  sed 's/^/  /' "$tmp/out" | head -20
  status=1
fi
for po in "$src"/po/*.po; do
  lang=$(basename "$po" .po)
  stats=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1) || { echo "FAIL: $lang: $stats"; status=1; continue; }
  if ! msgcmp "$po" "$src/po/pikora.pot" >"$tmp/out" 2>&1; then
    echo "FAIL: $lang does not translate every text of the template (or leaves some fuzzy):"
    sed 's/^/  /' "$tmp/out" | head -20
    status=1
  fi
  if ! msgcmp --use-untranslated --use-fuzzy "$src/po/pikora.pot" "$po" >"$tmp/out" 2>&1; then
    echo "FAIL: $lang holds texts the template no longer has (msgmerge brings it up to date):"
    sed 's/^/  /' "$tmp/out" | head -20
    status=1
  fi
  echo "$lang: $stats"
done
exit $status
