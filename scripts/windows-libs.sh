#!/usr/bin/env bash
# Builds the libraries the Windows program links (SDL2 with SDL2main, SDL2_ttf
# with HarfBuzz, SDL2_image with SVG, SDL2_mixer with WAV and OGG, FreeType,
# libimagequant) as static libraries for x86_64-w64-mingw32, from Debian's own
# source trees, by compiling their files directly with Debian's MinGW-w64:
# SDL's own CMake spends minutes probing the compiler for what its tree's
# Windows configuration (SDL_config_windows.h) already says.
# Usage: windows-libs.sh SOURCES OUT   (SOURCES holds the unpacked `apt-get
# source` trees; OUT gets include/ and lib/). scripts/windows.sh calls it once
# per cache key, and this file's content is part of the key.
set -euo pipefail
SRC=$(realpath "$1")
OUT=$(realpath -m "$2")
JOBS=${JOBS:-$(nproc)}
HOST=x86_64-w64-mingw32
mkdir -p "$OUT/include/SDL2" "$OUT/lib" "$OUT/obj"

# The posix flavour: std::thread and its kin, which the game uses, need it.
CC=("$HOST-gcc-posix" -O2 -w)
CXX=("$HOST-g++-posix" -O2 -w)
AR=$HOST-ar

tree() {
  local d
  d=$(ls -d "$SRC/$1"-[0-9]* 2>/dev/null | head -1)
  [ -n "$d" ] || { echo "windows-libs: no source tree $1-* in $SRC" >&2; exit 1; }
  echo "$d"
}

# build NAME FLAGS... -- FILES...: one object per file (every core busy),
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
    o="$dir/$((n++))_$(basename "${f%.*}").o"
    case "$f" in
      *.cc | *.cpp) "${CXX[@]}" "${flags[@]}" -c "$f" -o "$o" 2>"$o.log" & ;;
      *) "${CC[@]}" "${flags[@]}" -c "$f" -o "$o" 2>"$o.log" & ;;
    esac
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
  done
  wait || true
  local bad=0
  for f in "$dir"/*.log; do
    [ -e "${f%.log}" ] || { echo "windows-libs: $name: cannot compile:" >&2; cat "$f" >&2; bad=1; }
  done
  [ "$bad" = 0 ] || exit 1
  rm -f "$OUT/lib/lib$name.a"
  "$AR" rcs "$OUT/lib/lib$name.a" "$dir"/*.o
  echo "windows-libs: lib$name.a ($n files)"
}

# SDL2, configured by its tree's own SDL_config_windows.h with the C library
# (the MinGW runtime) in use, as SDL's CMake does for MinGW. The game draws on
# the window's own surface (GDI), so SDL's Direct3D and OpenGL renderers are
# configured out (their files still give the functions that ask for them).
# Each source guards itself by that configuration, so the folders of the
# drivers it names are taken whole.
sdl=$(tree libsdl2)
cp "$sdl"/include/*.h "$OUT/include/SDL2/"
# MinGW's headers claim the Windows 10 SDK, whose Windows.Gaming.Input
# header they do not have (SDL's CMake finds that out by trying): the
# joysticks come through XInput, DirectInput, raw input and HIDAPI.
cat >"$OUT/include/SDL2/SDL_config.h" <<'CONFIG'
#ifndef SDL_config_h_
#define SDL_config_h_
#include "SDL_platform.h"
#define HAVE_LIBC 1
#define SDL_VIDEO_RENDER_D3D 0
#define SDL_VIDEO_RENDER_D3D11 0
#define SDL_VIDEO_RENDER_D3D12 0
#define SDL_VIDEO_RENDER_OGL 0
#define SDL_VIDEO_RENDER_OGL_ES2 0
#include "SDL_config_windows.h"
#undef HAVE_WINDOWS_GAMING_INPUT_H
#undef SDL_JOYSTICK_WGI
#endif
CONFIG
s=$sdl/src
SDL_FLAGS=(-I"$OUT/include/SDL2" -I"$s" -I"$s/video/khronos")
build SDL2 "${SDL_FLAGS[@]}" -- \
  "$s"/*.c "$s"/atomic/*.c "$s"/audio/*.c "$s"/audio/{directsound,disk,dummy,wasapi,winmm}/*.c \
  "$s"/core/windows/*.c "$s"/cpuinfo/*.c "$s"/dynapi/*.c "$s"/events/*.c "$s"/file/*.c \
  "$s"/filesystem/windows/*.c "$s"/haptic/*.c "$s"/haptic/windows/*.c "$s"/hidapi/SDL_hidapi.c \
  "$s"/joystick/*.c "$s"/joystick/hidapi/*.c "$s"/joystick/virtual/*.c "$s"/joystick/windows/*.c \
  "$s"/libm/*.c "$s"/loadso/windows/*.c "$s"/locale/*.c "$s"/locale/windows/*.c "$s"/misc/*.c \
  "$s"/misc/windows/*.c "$s"/power/*.c "$s"/power/windows/*.c "$s"/render/*.c "$s"/render/software/*.c "$s"/render/direct3d*/*.c \
  "$s"/sensor/*.c "$s"/sensor/windows/*.c "$s"/stdlib/*.c "$s"/thread/*.c "$s"/thread/generic/SDL_syscond.c \
  "$s"/thread/windows/*.c "$s"/timer/*.c "$s"/timer/windows/*.c "$s"/video/*.c "$s"/video/dummy/*.c \
  "$s"/video/windows/*.c "$s"/video/yuv2rgb/*.c
# WinMain, handing main() its arguments in UTF-8 from the wide command line.
build SDL2main "${SDL_FLAGS[@]}" -- "$s"/main/windows/SDL_windows_main.c

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
# font's own kerning), so the texts land on the same pixels.
hb=$(tree harfbuzz)
build harfbuzz -std=c++11 -fno-exceptions -fno-rtti -DHAVE_FREETYPE=1 -I"$OUT/include/freetype2" -- \
  "$hb/src/harfbuzz.cc"

# SDL2_ttf, with HarfBuzz as Debian builds it.
ttf=$(tree libsdl2-ttf)
cp "$ttf/SDL_ttf.h" "$OUT/include/SDL2/"
build SDL2_ttf -I"$OUT/include/SDL2" -I"$OUT/include/freetype2" -I"$hb/src" -DTTF_USE_HARFBUZZ=1 -- "$ttf/SDL_ttf.c"

# SDL2_image: SVG (nanosvg) to read, PNG (miniz) to write; every other format
# compiles to its "not supported" answer. Without USE_STBIMAGE it expects
# libpng for writing PNGs, and without libpng it fails silently, leaving the
# file open and empty.
img=$(tree libsdl2-image)
cp "$img/SDL_image.h" "$OUT/include/SDL2/"
build SDL2_image -I"$OUT/include/SDL2" -DLOAD_SVG -DSDL_IMAGE_SAVE_PNG=1 -DUSE_STBIMAGE -- \
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

# What the static SDL2 needs of Windows' own libraries, for whoever links it.
echo "-lSDL2main -lSDL2 -lm -luser32 -lgdi32 -lwinmm -limm32 -lole32 -loleaut32 -lversion -luuid -ladvapi32 -lsetupapi -lshell32 -ldinput8" \
  >"$OUT/lib/sdl2-libs.txt"

# What each carries by way of copyright and licence, for the zip's licences.
mkdir -p "$OUT/licenses"
for p in libsdl2 libsdl2-ttf libsdl2-image libsdl2-mixer freetype harfbuzz libimagequant; do
  cp "$(tree "$p")/debian/copyright" "$OUT/licenses/$p"
done
rm -rf "$OUT/obj"
