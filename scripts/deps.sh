#!/usr/bin/env bash
# Installs what the game needs to build, run and test on Debian 12.
# Every package the project uses is listed here and nowhere else.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  gettext                   # checks and compiles the translation catalogues (po/)
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libsdl2-image-dev libx11-dev
  libimagequant-dev         # reduces each picture to the game's colour depth
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-vlgothic            # the Japanese gothic font carried inside the game
  timgm6mb-soundfont        # General MIDI SoundFont for the music
  libfluidsynth-dev         # synthesises the tune once, ahead of playing it
  fluidsynth                # for rendering the tune in tests
  python3-fonttools         # cuts the font down to the glyphs the game uses, for the web page
  gnuplot-nox               # draws the strategy lab's histograms
  xvfb x11-utils xdotool imagemagick  # for driving the real window in tests
  dpkg-dev file lintian appstream desktop-file-utils man-db  # for building and checking the package
  openbox                   # a window manager in that X server, for fullscreen
  clang libclang-rt-14-dev  # builds the fuzz targets (libFuzzer, with ASan and UBSan)
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    echo "Could not install: ${missing[*]}" >&2
    exit 1
  fi
fi
