#!/usr/bin/env bash
# Builds the libraries the page links (SDL2, SDL2_ttf with HarfBuzz, SDL2_image
# with SVG, SDL2_mixer with WAV and OGG, FreeType, libimagequant) for WebAssembly from
# Debian's own source trees, by compiling their files directly: their own
# configure steps probe the compiler for minutes and add nothing here, since
# each tree carries (or needs only a few lines of) its Emscripten settings.
# Usage: web-libs.sh SOURCES OUT   (SOURCES holds the unpacked `apt-get source`
# trees; OUT gets include/ and lib/). scripts/web.sh calls it once per cache
# key, and this file's content is part of the key.
set -euo pipefail
SRC=$(realpath "$1")
OUT=$(realpath -m "$2")
JOBS=${JOBS:-$(nproc)}
mkdir -p "$OUT/include/SDL2" "$OUT/lib" "$OUT/obj"

# Compiling through emcc costs a Python start per file; its own clang with
# emcc's flags does the same work at once.
read -r -a EMFLAGS <<<"$(emcc --cflags)"
read -r -a EMXXFLAGS <<<"$(em++ --cflags)"
# Small over fast: the page is downloaded, and the game draws little.
CC=(clang-14 "${EMFLAGS[@]}" -Oz -w)

tree() {
  local d
  d=$(ls -d "$SRC/$1"-[0-9]* 2>/dev/null | head -1)
  [ -n "$d" ] || { echo "web-libs: no source tree $1-* in $SRC" >&2; exit 1; }
  echo "$d"
}

# build NAME FLAGS... -- FILES...: one object per file (both cores busy),
# then lib/libNAME.a. A file that does not compile stops the build with the
# compiler's words.
build() {
  local name=$1 flags=() f o n=0
  shift
  while [ "$1" != "--" ]; do flags+=("$1"); shift; done
  shift
  local dir="$OUT/obj/$name"
  rm -rf "$dir"
  mkdir -p "$dir"
  for f in "$@"; do
    o="$dir/$((n++))_$(basename "${f%.c}").o"
    "${CC[@]}" "${flags[@]}" -c "$f" -o "$o" 2>"$o.log" &
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
  done
  wait || true
  local bad=0
  for f in "$dir"/*.log; do
    [ -e "${f%.log}" ] || { echo "web-libs: $name: cannot compile:" >&2; cat "$f" >&2; bad=1; }
  done
  [ "$bad" = 0 ] || exit 1
  rm -f "$OUT/lib/lib$name.a"
  llvm-ar-14 rcs "$OUT/lib/lib$name.a" "$dir"/*.o
  echo "web-libs: lib$name.a ($n files)"
}

# SDL2: its tree carries its Emscripten configuration (SDL_config_emscripten.h,
# no threads). Each source guards itself by that configuration, so the folders
# of the drivers it names are taken whole.
sdl=$(tree libsdl2)
cp "$sdl"/include/*.h "$OUT/include/SDL2/"
s=$sdl/src
build SDL2 -I"$sdl/include" -I"$s" -- \
  "$s"/*.c "$s"/atomic/*.c "$s"/audio/*.c "$s"/audio/{disk,dummy,emscripten}/*.c \
  "$s"/cpuinfo/*.c "$s"/dynapi/*.c "$s"/events/*.c "$s"/file/*.c "$s"/filesystem/emscripten/*.c \
  "$s"/haptic/*.c "$s"/haptic/dummy/*.c "$s"/joystick/*.c "$s"/joystick/emscripten/*.c \
  "$s"/joystick/virtual/*.c "$s"/libm/*.c "$s"/loadso/dlopen/*.c "$s"/locale/*.c \
  "$s"/locale/emscripten/*.c "$s"/misc/*.c "$s"/misc/emscripten/*.c "$s"/power/*.c \
  "$s"/power/emscripten/*.c "$s"/render/*.c "$s"/render/software/*.c "$s"/render/opengles2/*.c \
  "$s"/sensor/*.c "$s"/sensor/dummy/*.c "$s"/stdlib/*.c "$s"/thread/*.c "$s"/thread/generic/*.c \
  "$s"/timer/*.c "$s"/timer/unix/*.c "$s"/video/*.c "$s"/video/emscripten/*.c "$s"/video/yuv2rgb/*.c

# FreeType: only what a TrueType font needs, with the tree's own (Debian's)
# options, so glyphs come out as on the desktop.
ft=$(tree freetype)
mkdir -p "$OUT/include/freetype2" "$OUT/obj/ftconfig"
cp -r "$ft/include/ft2build.h" "$ft/include/freetype" "$OUT/include/freetype2/"
cat >"$OUT/obj/ftconfig/pikora_ftmodule.h" <<'MODULES'
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, psnames_module_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
FT_USE_MODULE( FT_Renderer_Class, ft_raster1_renderer_class )
MODULES
cp "$OUT/obj/ftconfig/pikora_ftmodule.h" "$OUT/include/freetype2/freetype/config/ftmodule.h"
b=$ft/src/base
build freetype -I"$OUT/obj/ftconfig" -I"$ft/include" -DFT2_BUILD_LIBRARY \
  '-DFT_CONFIG_MODULES_H=<pikora_ftmodule.h>' -- \
  "$b"/{ftsystem,ftinit,ftdebug,ftbase,ftbbox,ftbitmap,ftglyph,ftmm,ftstroke,ftsynth,ftfstype,ftgasp}.c \
  "$ft"/src/{autofit/autofit,truetype/truetype,sfnt/sfnt,smooth/smooth,raster/raster,psnames/psnames,gzip/ftgzip}.c

# HarfBuzz, as one file: the desktop's SDL2_ttf places glyphs through it (the
# font's own kerning), so the page's texts land on the same pixels; without
# it they do not (the browser test tells). Its smallest build (HB_TINY, no
# fallback shapers for scripts the game does not write) places them the same
# at two thirds of the size.
hb=$(tree harfbuzz)
mkdir -p "$OUT/obj/harfbuzz"
clang++-14 "${EMXXFLAGS[@]}" -std=c++11 -Oz -w -fno-exceptions -fno-rtti -DHAVE_FREETYPE=1 -DHB_TINY \
  -DHB_NO_OT_SHAPER_ARABIC_FALLBACK -DHB_NO_OT_SHAPER_HEBREW_FALLBACK -DHB_NO_OT_SHAPER_THAI_FALLBACK \
  -DHB_NO_OT_SHAPER_VOWEL_CONSTRAINTS -DHB_NO_OT_SHAPER_MYANMAR_ZAWGYI \
  -I"$OUT/include/freetype2" -c "$hb/src/harfbuzz.cc" -o "$OUT/obj/harfbuzz/harfbuzz.o"
llvm-ar-14 rcs "$OUT/lib/libharfbuzz.a" "$OUT/obj/harfbuzz/harfbuzz.o"
echo "web-libs: libharfbuzz.a (1 file)"

# SDL2_ttf, with HarfBuzz as Debian builds it.
ttf=$(tree libsdl2-ttf)
cp "$ttf/SDL_ttf.h" "$OUT/include/SDL2/"
build SDL2_ttf -I"$OUT/include/SDL2" -I"$OUT/include/freetype2" -I"$hb/src" -DTTF_USE_HARFBUZZ=1 -- "$ttf/SDL_ttf.c"

# SDL2_image: SVG (nanosvg) to read, PNG (miniz) to write; every other format
# compiles to its "not supported" answer.
img=$(tree libsdl2-image)
cp "$img/SDL_image.h" "$OUT/include/SDL2/"
build SDL2_image -I"$OUT/include/SDL2" -DLOAD_SVG -DSDL_IMAGE_SAVE_PNG=1 -- \
  $(ls "$img"/IMG*.c | grep -v IMG_WIC)

# SDL2_mixer: WAV, and OGG through stb_vorbis.
mix=$(tree libsdl2-mixer)
cp "$mix/include/SDL_mixer.h" "$OUT/include/SDL2/"
build SDL2_mixer -I"$OUT/include/SDL2" -I"$mix/src" -I"$mix/src/codecs" -DMUSIC_WAV -DMUSIC_OGG -DOGG_USE_STB -- \
  "$mix"/src/*.c "$mix"/src/codecs/*.c

# libimagequant as plain C, on one thread (no OpenMP).
liq=$(tree libimagequant)
cp "$liq/libimagequant.h" "$OUT/include/"
build imagequant -DNDEBUG -- "$liq"/{blur,kmeans,libimagequant,mediancut,mempool,nearest,pam}.c

# What each carries by way of copyright and licence, for the page's licences.
mkdir -p "$OUT/licenses"
for p in libsdl2 libsdl2-ttf libsdl2-image libsdl2-mixer freetype harfbuzz libimagequant; do
  cp "$(tree "$p")/debian/copyright" "$OUT/licenses/$p"
done
rm -rf "$OUT/obj"
