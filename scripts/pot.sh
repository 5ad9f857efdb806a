#!/usr/bin/env bash
# Makes the catalogue template po/pikora.pot from the texts the program marks
# for translation: NC_(context, text) where a text is kept in a table, and
# Tr(context, text) where it is looked up as it is drawn or printed. Run it
# after changing a text; then bring each catalogue up to date with
#   msgmerge --update --backup=none po/LANG.po po/pikora.pot
# An argument writes the template there instead (the tests compare the two).
set -euo pipefail
out=$(realpath -m "${1:-$(dirname "$0")/../po/pikora.pot}")
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(pikora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/\|^bench/\|^tools/')
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=NC_:1c,2 --keyword=Tr:1c,2 \
  --add-comments=TRANSLATORS: --add-location=file --sort-by-file \
  --package-name=pikora --package-version="$version" --msgid-bugs-address=pikora@users.noreply.example \
  --copyright-holder="The Pikora developers" -o "$out" "${sources[@]}"
[ $# -gt 0 ] || echo "po/pikora.pot: $(grep -c '^msgctxt ' po/pikora.pot) texts"
