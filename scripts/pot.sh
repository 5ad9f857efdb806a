#!/usr/bin/env bash
# Makes the catalogue template po/pikora.pot from the texts the program marks
# for translation: NC_(context, text) where a text is kept in a table, and
# Tr(context, text) where it is looked up as it is drawn or printed. Run it
# after changing a text; then bring each catalogue up to date with
#   msgmerge --update --backup=none po/LANG.po po/pikora.pot
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(pikora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/\|^bench/\|^tools/')
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=NC_:1c,2 --keyword=Tr:1c,2 \
  --add-comments=TRANSLATORS: --add-location=file --sort-by-file \
  --package-name=pikora --package-version="$version" --msgid-bugs-address=pikora@users.noreply.example \
  --copyright-holder="The Pikora developers" -o po/pikora.pot "${sources[@]}"
echo "po/pikora.pot: $(grep -c '^msgid ' po/pikora.pot) entries (the header included)"
