#!/usr/bin/env bash
# Builds the game for Windows (x86_64) with Debian's MinGW-w64 into
# build-win/dist/pikora-<version>-windows-x64.zip.
#   bash scripts/windows.sh          install what is missing, build the zip
#   bash scripts/windows.sh --libs   only the libraries, into the cache
#   bash scripts/windows.sh --test [SHOTS]  the zip, then the program played
#                                    under Wine (tests/windows), screenshots
#                                    into SHOTS if given
# The libraries (SDL2 and its add-ons, FreeType, HarfBuzz, libimagequant) are
# built from Debian's own sources once, into
# ${PIKORA_WIN_CACHE:-${XDG_CACHE_HOME:-~/.cache}/pikora-win}/<key>; the key
# changes with those sources, the compiler or the recipe
# (scripts/windows-libs.sh).
set -euo pipefail
CALLER=$PWD
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=${PIKORA_WIN_BUILD:-$ROOT/build-win}
MODE=build SHOTS=""
case "${1:-}" in
  "") ;;
  --libs) MODE=libs ;;
  --test) MODE=test; SHOTS=${2:+$(cd "$CALLER" && realpath -m "$2")} ;;
  *) echo "usage: bash scripts/windows.sh [--libs | --test [SHOTS_DIR]]" >&2; exit 2 ;;
esac
NAME=windows
SOURCES=(libsdl2 libsdl2-ttf libsdl2-image libsdl2-mixer freetype harfbuzz libimagequant)
source scripts/cross.sh

# --- What the build needs, from Debian's archive (the desktop's first). ------
scripts/deps.sh
PACKAGES=(
  g++-mingw-w64-x86-64-posix  # the compiler for Windows, with threads as the game uses them
  mingw-w64-tools             # the cross pkg-config and friends
  dpkg-dev                    # apt-get source unpacks the libraries' sources with it
  vorbis-tools                # oggenc: the tune, made at build time, compressed
  zip
)
[ "$MODE" = test ] && PACKAGES+=(wine wine64)  # Windows' API on Linux, for the test
install_missing "${PACKAGES[@]}"
HOST=x86_64-w64-mingw32

# --- The libraries, from Debian's source packages, once. ---------------------
find_sources
CACHE=${PIKORA_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pikora-win}
libraries_once "$CACHE" "$( { versions; $HOST-gcc-posix --version | sed -n 1p; dpkg-query -W -f='${Version}\n' mingw-w64-common;
                              cat scripts/windows-libs.sh; } | sha256sum | cut -c1-16)" scripts/windows-libs.sh
[ "$MODE" = libs ] && exit 0

# --- Made on this machine: the sounds, the tune, the icon. --------------------
# PIKORA_WIN_NATIVE names a desktop build that has the tools already (the tests' own).
NATIVE=${PIKORA_WIN_NATIVE:-$OUT/native}
if [ -z "${PIKORA_WIN_NATIVE:-}" ]; then
  say "native tools"
  quiet cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DPIKORA_SANITIZED_TESTS=OFF
  TOOLS=(pikora_audio pikora_render_tune pikora_icon)
  # The test holds the program against the desktop game and its replays.
  [ "$MODE" = test ] && TOOLS+=(pikora pikora-lab pikora_web_reference)
  quiet cmake --build "$NATIVE" -j"$(nproc)" --target "${TOOLS[@]}"
fi
DATA=$OUT/data
mkdir -p "$DATA/bg" "$DATA/se"
cp -p "$NATIVE/bg/bg1.mid" "$DATA/bg/"
cp -p "$NATIVE"/se/se* "$DATA/se/"
# The tune as the desktop game makes it (same SoundFont, rate and gain), made
# once here, compressed: the program carries no synthesiser.
if [ ! -s "$OUT/tune/bg1.ogg" ] || [ "$NATIVE/bg/bg1.mid" -nt "$OUT/tune/bg1.ogg" ] ||
   [ "$NATIVE/pikora_render_tune" -nt "$OUT/tune/bg1.ogg" ]; then
  say "the tune, made as the desktop game makes it, into OGG"
  mkdir -p "$OUT/tune"
  quiet "$NATIVE/pikora_render_tune" "$NATIVE/bg/bg1.mid" "$OUT/tune/bg1.wav" /usr/share/sounds/sf2/TimGM6mb.sf2
  quiet oggenc -Q -q 4 -o "$OUT/tune/bg1.ogg" "$OUT/tune/bg1.wav"
  rm -f "$OUT/tune/bg1.wav"
fi
cp -p "$OUT/tune/bg1.ogg" "$DATA/bg/"
# The icon: our logo drawn afresh at each size Windows shows.
ICON=$OUT/icon/pikora.ico
if [ ! -s "$ICON" ] || [ assets/logo.svg -nt "$ICON" ]; then
  quiet "$NATIVE/pikora_icon" assets/logo.svg "$OUT/icon" 16 24 32 48 64 256
  quiet convert "$OUT"/icon/{16x16,24x24,32x32,48x48,64x64,256x256}/pikora.png "$ICON"
fi

# --- The program, cross-compiled. ---------------------------------------------
say "the game for Windows"
FONT=/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf
if [ ! -f "$OUT/win/CMakeCache.txt" ]; then
  quiet cmake -S . -B "$OUT/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DPIKORA_WIN_LIBS="$LIBS" -DPIKORA_FONT="$FONT" -DPIKORA_WIN_ICON="$ICON"
else
  quiet cmake "$OUT/win" -DPIKORA_WIN_LIBS="$LIBS" -DPIKORA_FONT="$FONT" -DPIKORA_WIN_ICON="$ICON"
fi
quiet cmake --build "$OUT/win" -j"$(nproc)" --target pikora

# --- The zip: the program, its files, the licences, a README. ----------------
VERSION=$(sed -n 's/^project(pikora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
NAME=pikora-$VERSION-windows-x64
DIST=$OUT/dist
rm -rf "$DIST"
mkdir -p "$DIST/$NAME"
$HOST-strip -o "$DIST/$NAME/pikora.exe" "$OUT/win/pikora.exe"
cp -r "$DATA/bg" "$DATA/se" "$DIST/$NAME/"
crlf() { sed 's/$/\r/'; }
crlf <LICENSE >"$DIST/$NAME/LICENSE.txt"
{
  echo "有限会社☆ピコラ！ for Windows: the licences of what the program carries."
  printf '\n==== the game (LICENSE.txt) ====\n\n'
  cat LICENSE
  printf '\n==== the font, VL Gothic ====\n\n'
  cat assets/FONT-LICENSE.txt
  for d in "$LIBS"/licenses/*; do
    printf '\n==== %s (Debian source package %s) ====\n\n' "$(basename "$d")" "$(grep "^$(basename "$d") " "$LIBS/sources" | cut -d' ' -f2)"
    cat "$d"
  done
  printf '\n==== the MinGW-w64 runtime and GCC runtime libraries (linked statically) ====\n\n'
  for f in /usr/share/doc/mingw-w64-common/copyright /usr/share/doc/gcc-mingw-w64-base/copyright; do
    [ -f "$f" ] && cat "$f"
  done
} | crlf >"$DIST/$NAME/licenses.txt"
sed "s/@VERSION@/$VERSION/g" packaging/windows/README.txt | crlf >"$DIST/$NAME/README.txt"
# Every file dated by the sources' last commit: the same sources give the same zip.
STAMP=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)
find "$DIST/$NAME" -exec touch -h -t "$STAMP" {} +
(cd "$DIST" && find "$NAME" | LC_ALL=C sort | zip -q -X -9 "$NAME.zip" -@)
rm -rf "$DIST/$NAME"
size() { stat -c %s "$1" | awk '{ printf "%.2f MB", $1 / 1e6 }'; }
say "built $DIST/$NAME.zip in $(( $(date +%s) - START )) s: $(size "$DIST/$NAME.zip")"
[ "$MODE" = test ] && exec python3 tests/windows/wine_test.py "$DIST/$NAME.zip" "$NATIVE" $SHOTS
exit 0
