#!/usr/bin/python3
"""Cuts the game's font down to the glyphs its texts can use, for the web page.

Usage: web-font.py FONT OUT.ttf ROOT DIR...

The characters kept: printable ASCII (numbers and signs the game composes at
run time), every character of every string literal in the C++ sources under
ROOT/DIR for each DIR (comments skipped), and every msgid and msgstr of the
catalogues in ROOT/po, if there are any. A test holds the result against every
text the game prints in whole games, so a text built some other way cannot
slip through unseen.
"""
import logging
import pathlib
import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# A C++ token stream reduced to what matters here: comments, character
# literals and string literals (with an optional prefix such as u8 or L).
TOKEN = re.compile(
    r'//[^\n]*|/\*.*?\*/|'
    r"'(?:[^'\\\n]|\\.)*'|"
    r'(?:u8|u|U|L)?"((?:[^"\\\n]|\\.)*)"',
    re.S)
PO_STRING = re.compile(r'^\s*(?:msgid|msgstr(?:\[\d+\])?|msgctxt)?\s*"((?:[^"\\]|\\.)*)"', re.M)


def literal_chars(text):
    chars = set()
    for m in TOKEN.finditer(text):
        if m.group(1) is not None:
            chars.update(m.group(1))
    return chars


def texts_chars(root, dirs):
    chars = {chr(c) for c in range(0x20, 0x7F)}
    for d in dirs:
        for path in sorted((root / d).rglob("*")):
            if path.suffix in (".cpp", ".h"):
                chars |= literal_chars(path.read_text(encoding="utf-8"))
    po = root / "po"
    if po.is_dir():
        for path in sorted(po.glob("*.po")):
            for m in PO_STRING.finditer(path.read_text(encoding="utf-8")):
                chars.update(m.group(1))
    return {c for c in chars if c >= " " and c != "\x7f"}


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    font, out, root = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    chars = texts_chars(root, sys.argv[4:])
    logging.getLogger("fontTools").setLevel(logging.ERROR)  # tables it drops whole, e.g. FFTM
    options = subset.Options()
    options.notdef_outline = True  # a missing glyph shows as a box, not as nothing
    options.name_IDs = ["*"]       # the font's copyright and licence stay with it
    options.name_languages = ["*"]
    options.hinting = True         # drawn as on the desktop, hints and all
    options.layout_features = ["*"]  # and placed as there: every feature HarfBuzz may apply
    # The glyphs' boxes as the font states them: FreeType places a glyph by
    # them, and a box computed afresh moves some glyphs by a pixel.
    f = TTFont(font, recalcBBoxes=False)
    sub = subset.Subsetter(options)
    sub.populate(unicodes=[ord(c) for c in chars])
    sub.subset(f)
    pathlib.Path(out).parent.mkdir(parents=True, exist_ok=True)
    f.save(out)
    cmap = f.getBestCmap()
    lost = sorted(c for c in chars if ord(c) not in cmap and not c.isspace())
    print(f"web-font: {len(chars)} characters, {len(cmap)} in the font, {pathlib.Path(out).stat().st_size} bytes")
    if lost:
        print("web-font: the font itself has no glyph for: " + " ".join(f"U+{ord(c):04X}" for c in lost))


if __name__ == "__main__":
    main()
