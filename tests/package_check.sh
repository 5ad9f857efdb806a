#!/usr/bin/env bash
# The Debian package as a player meets it: made by CPack from this build, its
# metadata valid, installed with apt-get, answering --version, opening its
# window under Xvfb with the music playing, and gone without a trace after
# dpkg -r. Exit 77 (skipped) where packages cannot be installed.
set -u
BUILD=${1:?usage: package_check.sh BUILD_DIR}
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "installing the package needs root"
for t in apt-get dpkg cpack lintian appstreamcli desktop-file-validate Xvfb xdotool; do
  command -v $t >/dev/null || skip "$t is missing (scripts/deps.sh installs it)"
done
# Another copy of this check may be running from another clone.
exec 9>/tmp/pikora-package-check.lock
flock -w 300 9 || fail "another package check holds the lock"
dpkg-query -W -f='${Status}' pikora 2>/dev/null | grep -q "ok installed" &&
  skip "a pikora package is installed already; leaving it alone"

WORK=$(mktemp -d)
INSTALLED=""
trap '[ -n "${GPID:-}" ] && kill -9 $GPID 2>/dev/null; [ -n "${XPID:-}" ] && kill $XPID 2>/dev/null
      [ -n "$INSTALLED" ] && dpkg -r pikora >/dev/null 2>&1; rm -rf "$WORK"' EXIT

(cd "$BUILD" && cpack -B "$WORK/cpack") >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; fail "cpack"; }
DEB=$(ls "$WORK"/cpack/pikora_*.deb)
VERSION=$(dpkg-deb -f "$DEB" Version)
dpkg-deb -x "$DEB" "$WORK/root"
desktop-file-validate "$WORK"/root/usr/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net "$WORK"/root/usr/share/metainfo/*.xml >"$WORK/as.log" ||
  { cat "$WORK/as.log"; fail "AppStream metadata"; }
lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1 || { cat "$WORK/lintian.log"; fail "lintian"; }

INSTALLED=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=120 "$DEB" \
  >"$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log"; fail "apt-get install"; }
FILES=$(dpkg -L pikora)
first=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 /usr/games/pikora --version 2>&1 | head -1)
[ "$first" = "pikora $VERSION" ] || fail "pikora --version said '$first', not 'pikora $VERSION'"
echo "ok: installed $VERSION, --version answers"

for n in $(seq 150 189); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { DISP=:$n; break; }
done
[ -n "${DISP:-}" ] || fail "no free X display"
Xvfb "$DISP" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
for _ in $(seq 50); do xdpyinfo -display "$DISP" >/dev/null 2>&1 && break; sleep 0.1; done
# The disk audio driver writes what would sound (44.1 kHz, 16-bit stereo) to
# a file: once the tune plays, the last second of it is hardly ever silent.
DISPLAY=$DISP SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw" /usr/games/pikora >"$WORK/game.log" 2>&1 &
GPID=$!
playing=""
for _ in $(seq 40); do
  sleep 0.5
  kill -0 $GPID 2>/dev/null || { cat "$WORK/game.log"; fail "the game stopped by itself"; }
  [ -s "$WORK/audio.raw" ] || continue
  [ "$(tail -c 176400 "$WORK/audio.raw" | tr -d '\0' | wc -c)" -gt 132300 ] && { playing=1; break; }
done
WID=$(DISPLAY=$DISP xdotool search --name "ピコラ|Pikora" 2>/dev/null | tail -1)
[ -n "$WID" ] || fail "no game window appeared"
grep -E "music|SoundFont" "$WORK/game.log" && fail "the music was not found"
[ -n "$playing" ] || fail "no music sounded within 20 s"
DISPLAY=$DISP xdotool key --window "$WID" Escape
for _ in $(seq 150); do kill -0 $GPID 2>/dev/null || break; sleep 0.1; done
wait $GPID || fail "the game did not quit cleanly on Escape"
GPID=""
echo "ok: the window opened from /usr/games/pikora and the music played"

dpkg -r pikora >"$WORK/remove.log" 2>&1 || { cat "$WORK/remove.log"; fail "dpkg -r"; }
INSTALLED=""
# Whatever is left must be a folder another package also uses.
left=()
for f in $FILES; do
  if [ -L "$f" ] || [ -f "$f" ]; then fail "$f stayed after dpkg -r"; fi
  [ -d "$f" ] && left+=("$f")
done
[ ${#left[@]} -eq 0 ] || dpkg -S "${left[@]}" >/dev/null 2>&1 || fail "a folder of the package stayed after dpkg -r"
echo "ok: dpkg -r left nothing of the package behind"
