#!/usr/bin/env bash
# The real game in a real X server: it starts, shows the play screen, takes
# answers from the keyboard, and quits with status 0 on Escape and on a click,
# leaving no process behind. Also without an audio device.
set -u
GAME=${1:?usage: e2e.sh path/to/pikora}
WORK=$(mktemp -d)
trap 'kill $XPID 2>/dev/null; [ -n "${GPID:-}" ] && kill -9 $GPID 2>/dev/null; rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

# A display number nobody uses.
for n in $(seq 70 99); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { DISP=:$n; break; }
done
[ -n "${DISP:-}" ] || fail "no free X display"
Xvfb "$DISP" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
for _ in $(seq 50); do xdpyinfo -display "$DISP" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$DISP

# Counts pixels of one colour inside a rectangle of a window screenshot.
count_colour() {  # png w h x y hex
  convert "$1" -crop "$2x$3+$4+$5" +repage txt:- | grep -ci "$6"
}

start_game() {  # extra environment as arguments
  env "$@" "$GAME" >"$WORK/game.log" 2>&1 &
  GPID=$!
  WID=""
  for _ in $(seq 100); do
    WID=$(xdotool search --name "ピコラ" 2>/dev/null | tail -1)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no game window appeared"
}

# Waits until the play screen stands: the status values are drawn in their
# dark text colour (115, 65, 77) inside the status panel.
wait_play_screen() {
  for _ in $(seq 60); do
    import -window "$WID" "$WORK/shot.png" 2>/dev/null
    if [ -f "$WORK/shot.png" ]; then
      local size
      size=$(identify -format '%wx%h' "$WORK/shot.png")
      [ "$size" = "800x600" ] || fail "window picture is $size, not 800x600"
      local n
      n=$(count_colour "$WORK/shot.png" 100 150 146 72 '#73414D')
      [ "${n:-0}" -gt 20 ] && return 0
    fi
    sleep 0.5
  done
  fail "the play screen never showed its status panel"
}

wait_exit() {  # expected status
  for _ in $(seq 100); do
    kill -0 $GPID 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $GPID 2>/dev/null && fail "the game is still running"
  wait $GPID
  local rc=$?
  GPID=""
  [ $rc -eq "$1" ] || { cat "$WORK/game.log"; fail "exit status $rc"; }
  return 0
}

# 1. Play: frames drawn, answer requests, quit with Escape.
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
# The window margin is black, the base frame around the play area is not.
[ "$(count_colour "$WORK/shot.png" 16 12 0 0 '#000000')" -eq 192 ] || fail "the margin is not black"
[ "$(count_colour "$WORK/shot.png" 32 32 16 12 '#000000')" -lt 512 ] || fail "no base frame drawn"
xdotool windowfocus --sync "$WID" 2>/dev/null
for k in Left Up Right Down Left Left Right Left; do
  xdotool key --window "$WID" "$k"
  sleep 0.7
done
kill -0 $GPID 2>/dev/null || fail "the game died while playing"
xdotool key --window "$WID" Escape
wait_exit 0
echo "ok: played and quit with Escape"

# 2. A click on the play area quits; no audio device and no SoundFont at all.
start_game SDL_AUDIODRIVER=no-such-driver PIKORA_SOUNDFONT=none
wait_play_screen
xdotool mousemove --window "$WID" 400 300 click 1
wait_exit 0
echo "ok: silent start, quit with a click"
