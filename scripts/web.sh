#!/usr/bin/env bash
# Builds the game for the web browser into build-web/dist/: index.html beside
# pikora.js, pikora.wasm, pikora.data (the tune, the effects) and their gzip
# copies, ready for any static host.
#   bash scripts/web.sh                  install what is missing, build the page
#   bash scripts/web.sh --serve [PORT]   the same, then serve it on 127.0.0.1 (port 8000)
#   bash scripts/web.sh --test [SHOTS]   the same, then play it in headless Chromium
#                                        (tests/web), screenshots into SHOTS if given
# The WebAssembly libraries (SDL2 and its add-ons, FreeType, libimagequant) are
# built from Debian's own sources once, into
# ${PIKORA_WEB_CACHE:-${XDG_CACHE_HOME:-~/.cache}/pikora-web}/<key>; the key
# changes with those sources, the compiler or the recipe (scripts/web-libs.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=${PIKORA_WEB_BUILD:-$ROOT/build-web}
MODE=build PORT=8000 SHOTS=""
case "${1:-}" in
  "") ;;
  --serve) MODE=serve; PORT=${2:-8000} ;;
  --test) MODE=test; SHOTS=${2:-} ;;
  *) echo "usage: bash scripts/web.sh [--serve [PORT] | --test [SHOTS_DIR]]" >&2; exit 2 ;;
esac
NAME=web
SOURCES=(libsdl2 libsdl2-ttf libsdl2-image libsdl2-mixer freetype harfbuzz libimagequant)
source scripts/cross.sh

# --- What the build needs, from Debian's archive (the desktop's first). ------
scripts/deps.sh
PACKAGES=(
  emscripten                # the compiler to WebAssembly (with binaryen, clang and lld)
  dpkg-dev                  # apt-get source unpacks the libraries' sources with it
  vorbis-tools              # oggenc: the tune, made at build time, compressed
  sox                       # the effects, compressed to IMA ADPCM (still WAV files)
)
[ "$MODE" = test ] && PACKAGES+=(chromium)  # the browser the test drives
command -v npm >/dev/null || { [ "$MODE" = test ] && PACKAGES+=(npm); }
install_missing "${PACKAGES[@]}"
# emcc's JavaScript optimiser needs acorn, which Debian keeps here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# --- The libraries, from Debian's source packages, once. ---------------------
find_sources
CACHE=${PIKORA_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pikora-web}
libraries_once "$CACHE" "$( { versions; emcc --version 2>/dev/null | sed -n 1p; cat scripts/web-libs.sh; } | sha256sum | cut -c1-16)" \
  scripts/web-libs.sh

# --- Made on this machine: the sounds, the tune, the font, the references. ---
# PIKORA_WEB_NATIVE names a desktop build that has them already (the tests' own).
NATIVE=${PIKORA_WEB_NATIVE:-$OUT/native}
if [ -z "${PIKORA_WEB_NATIVE:-}" ]; then
  say "native tools"
  quiet cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DPIKORA_SANITIZED_TESTS=OFF
  quiet cmake --build "$NATIVE" -j"$(nproc)" --target pikora_audio pikora_web_font pikora_render_tune pikora_web_reference \
    pikora_draw_pictures
fi
DATA=$OUT/data
mkdir -p "$DATA/bg" "$DATA/se"
cp -p "$NATIVE/bg/bg1.mid" "$DATA/bg/"
# IMA ADPCM: a quarter of the bytes, in WAV files as SDL reads them (gzip
# hardly shrinks sampled sound).
for f in "$NATIVE"/se/se*; do
  [ "$DATA/se/${f##*/}" -nt "$f" ] || quiet sox -t wav "$f" -e ima-adpcm -t wav "$DATA/se/${f##*/}"
done
# Vorbis at its lowest quality, at 32 kHz (that quality cuts above 14 kHz
# anyway): a third of the bytes of quality 4; the README says how it was
# judged.
TUNE_QUALITY="-1 --resample 32000"
if [ ! -s "$OUT/tune/bg1.ogg" ] || [ "$(cat "$OUT/tune/quality" 2>/dev/null)" != "$TUNE_QUALITY" ] || [ "$NATIVE/bg/bg1.mid" -nt "$OUT/tune/bg1.ogg" ] ||
   [ "$NATIVE/pikora_render_tune" -nt "$OUT/tune/bg1.ogg" ]; then
  say "the tune, made as the desktop game makes it, into OGG"
  mkdir -p "$OUT/tune"
  quiet "$NATIVE/pikora_render_tune" "$NATIVE/bg/bg1.mid" "$OUT/tune/bg1.wav" /usr/share/sounds/sf2/TimGM6mb.sf2
  quiet oggenc -Q -q $TUNE_QUALITY -o "$OUT/tune/bg1.ogg" "$OUT/tune/bg1.wav"
  rm -f "$OUT/tune/bg1.wav"
  echo "$TUNE_QUALITY" >"$OUT/tune/quality"
fi
cp -p "$OUT/tune/bg1.ogg" "$DATA/bg/"
FONT=$NATIVE/web-font/VL-Gothic-Regular.ttf
# The pictures drawn here, as the desktop game draws them at start-up.
PICTURES=$OUT/pictures
mkdir -p "$PICTURES"
quiet "$NATIVE/pikora_draw_pictures" "$PICTURES"

# --- The game in WebAssembly, and the page. ----------------------------------
say "the game in WebAssembly"
if [ ! -f "$OUT/wasm/CMakeCache.txt" ]; then
  quiet emcmake cmake -S . -B "$OUT/wasm" -DCMAKE_BUILD_TYPE=Release -DPIKORA_WEB_LIBS="$LIBS" \
    -DPIKORA_FONT="$FONT" -DPIKORA_WEB_DATA="$DATA" -DPIKORA_WEB_PICTURES="$PICTURES"
else
  quiet cmake "$OUT/wasm" -DPIKORA_WEB_LIBS="$LIBS" -DPIKORA_FONT="$FONT" -DPIKORA_WEB_DATA="$DATA" \
    -DPIKORA_WEB_PICTURES="$PICTURES"
fi
quiet cmake --build "$OUT/wasm" -j"$(nproc)" --target pikora

DIST=$OUT/dist
rm -rf "$DIST"
mkdir -p "$DIST"
cp web/index.html web/page.css web/page.js web/manifest.webmanifest "$DIST/"
cp assets/logo.svg "$DIST/icon.svg"
cp "$OUT"/wasm/pikora.{js,wasm,data} "$DIST/"
{
  echo "有限会社☆ピコラ！ for the web: the licences of what the page carries."
  for f in LICENSE assets/FONT-LICENSE.txt; do
    printf '\n==== %s ====\n\n' "$f"
    cat "$f"
  done
  for d in "$LIBS"/licenses/*; do
    printf '\n==== %s (Debian source package %s) ====\n\n' "$(basename "$d")" "$(grep "^$(basename "$d") " "$LIBS/sources" | cut -d' ' -f2)"
    cat "$d"
  done
} >"$DIST/licenses.txt"
# The offline worker names the build by its files: a new build, a new worker
# that keeps the new files in place of the old.
BUILD=$(cat "$DIST"/* | sha256sum | cut -c1-12)
sed "s/@BUILD@/$BUILD/" web/sw.js >"$DIST/sw.js"
# Copies compressed for hosts that serve them as they are (gzip_static and the like).
for f in "$DIST"/*.{html,css,js,wasm,data,svg,txt,webmanifest}; do gzip -9 -n -k -f "$f"; done

size() { stat -c %s "$@" | awk '{ s += $1 } END { printf "%.2f MB", s / 1e6 }'; }
say "built $DIST in $(( $(date +%s) - START )) s: $(size "$DIST"/*[^z]) as files, $(size "$DIST"/*.gz) gzipped"

case "$MODE" in
  serve)
    say "serving on http://127.0.0.1:$PORT/ (Ctrl+C stops)"
    exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$DIST" "$PORT"
    ;;
  test)
    # A phone on a slow line: what the first visit fetches stays within 1.5 MB.
    GZ=$(cat "$DIST"/*.gz | wc -c)
    [ "$GZ" -le 1500000 ] || { say "FAIL: the page downloads $GZ bytes gzipped, more than 1 500 000"; exit 1; }
    PIKORA_WEB_NATIVE=$NATIVE exec bash tests/web/browser_test.sh "$OUT" $SHOTS
    ;;
esac
