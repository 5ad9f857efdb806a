#!/usr/bin/env bash
# The real game in a real X server: it starts, shows the play screen, takes
# answers from the keyboard, and quits with status 0 on Escape and on a click,
# leaving no process behind. Also without an audio device. Then what the
# platform adds: the pause, fullscreen kept to the next start (under openbox:
# SDL's fullscreen needs a window manager), a broken settings file, and
# clicks in a window made larger by the player, and the language: from the
# environment, from the settings, and L on the pause screen. Last, a game
# recorded, checked without a window and shown again to the same final
# picture, and F12's pictures. And a game killed with SIGKILL, continued
# twice and verified as one. What ends before any window opens (no display,
# --version, a bad command line) is the fast suite's (shell_test.cpp).
set -u
GAME=${1:?usage: e2e.sh path/to/pikora}
WORK=$(mktemp -d)
trap 'kill $XPID ${WMPID:-} 2>/dev/null; [ -n "${GPID:-}" ] && kill -9 $GPID 2>/dev/null; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME=$WORK/config XDG_STATE_HOME=$WORK/state
SETTINGS=$XDG_CONFIG_HOME/pikora/settings

fail() { echo "FAIL: $*"; exit 1; }

# A display number nobody uses.
for n in $(seq 70 99); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { DISP=:$n; break; }
done
[ -n "${DISP:-}" ] || fail "no free X display"
Xvfb "$DISP" -screen 0 1680x1360x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
for _ in $(seq 50); do xdpyinfo -display "$DISP" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$DISP
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
WMPID=$!
# Openbox claims the screen first and finishes starting a moment later; a
# window mapped in between is never mapped (SDL then waits on it for ever).
# Its work area is among the last things it sets up.
for _ in $(seq 100); do xprop -root _NET_WORKAREA 2>/dev/null | grep -q = && break; sleep 0.1; done
sleep 0.5

# Counts pixels of one colour inside a rectangle of a window screenshot.
count_colour() {  # png w h x y hex
  convert "$1" -crop "$2x$3+$4+$5" +repage txt:- | grep -ci "$6"
}

start_game() {  # extra environment as arguments; the game's own in $ARGS
  env "$@" "$GAME" ${ARGS:-} >"$WORK/game.log" 2>&1 &
  GPID=$!
  WID=""
  # Generous: a machine busy with the sanitized suite can be slow to map it.
  for _ in $(seq 300); do
    WID=$(xdotool search --name "ピコラ|Pikora" 2>/dev/null | tail -1)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  if [ -z "$WID" ]; then  # say where it stands, for a fault seldom seen
    cat "$WORK/game.log" "$WORK/openbox.log"
    xwininfo -root -tree 2>&1 | head -20
    command -v gdb >/dev/null && gdb -p "$GPID" -batch -ex "thread apply all bt" 2>&1 | grep -E "^#|^Thread" | head -60
    fail "no game window appeared"
  fi
}

shot() {  # file: the game window now, and its size in $SIZE
  import -window "$WID" "$1" 2>/dev/null
  SIZE=$(identify -format '%wx%h' "$1" 2>/dev/null)
}

# Waits until the window has the size given.
wait_size() {
  for _ in $(seq 80); do
    shot "$WORK/size.png"
    [ "$SIZE" = "$1" ] && return 0
    sleep 0.25
  done
  fail "the window is $SIZE, not $1"
}

# Waits until nothing moves: a request waits for its answer.
wait_still() {
  shot "$WORK/still.png"
  for _ in $(seq 30); do
    sleep 0.8
    shot "$WORK/still2.png"
    [ "$(compare -metric AE "$WORK/still.png" "$WORK/still2.png" null: 2>&1)" = "0" ] && return 0
    mv "$WORK/still2.png" "$WORK/still.png"
  done
  fail "the picture never stood still"
}

mean() { convert "$1" -format '%[fx:int(mean*1000)]' info:; }

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

[ -e "$SETTINGS" ] && fail "settings written though none changed"

# 2. A click on the play area quits; no audio device and no SoundFont at all;
# a broken settings file gives a playable 800 x 600 window and stays as it was.
mkdir -p "$(dirname "$SETTINGS")"
printf 'fullscreen = perhaps\n' >"$SETTINGS"
start_game SDL_AUDIODRIVER=no-such-driver PIKORA_SOUNDFONT=none
wait_play_screen
xdotool mousemove --window "$WID" 400 300 click 1
wait_exit 0
grep -q "settings.*line 1" "$WORK/game.log" || fail "nothing said about the broken settings"
[ "$(cat "$SETTINGS")" = "fullscreen = perhaps" ] || fail "the broken settings file was overwritten"
rm "$SETTINGS"
echo "ok: silent start with broken settings, quit with a click"

# 3. P dims the picture and P brings back exactly the picture before; F11
# fills the screen and the choice is written down.
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
wait_still
shot "$WORK/before.png"
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key --window "$WID" p
sleep 0.5
shot "$WORK/paused.png"
[ "$(mean "$WORK/paused.png")" -lt $(($(mean "$WORK/before.png") * 6 / 10)) ] || fail "the pause does not dim the picture"
xdotool key --window "$WID" p
sleep 0.5
shot "$WORK/after.png"
[ "$(compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>&1)" = "0" ] || fail "the picture after the pause is not the one before"
echo "ok: the pause dims the picture and gives it back as it was"
xdotool key --window "$WID" F11
wait_size 1680x1360
xdotool key --window "$WID" Escape
wait_exit 0
grep -q "fullscreen = 1" "$SETTINGS" || fail "fullscreen not kept: $(cat "$SETTINGS")"
echo "ok: F11 fills the 1680 x 1360 screen"

# 4. The next start is fullscreen; F11 gives back the 800 x 600 window.
start_game SDL_AUDIODRIVER=dummy
wait_size 1680x1360
xdotool key --window "$WID" F11
wait_size 800x600
xdotool key --window "$WID" Escape
wait_exit 0
grep -q "fullscreen = 0" "$SETTINGS" || fail "windowed not kept: $(cat "$SETTINGS")"
echo "ok: fullscreen kept to the next start, and F11 back to the window"

# 5. In a larger window a click on the play area still quits, and a click on
# the window's margin or beside the picture does nothing.
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
xdotool windowsize "$WID" 1600 1300
wait_size 1600x1300
sleep 0.5
# The picture at twice its size, 50 pixels from the top: the margin around
# the play area is 32 by 24 pixels there, the band above it is beside it.
xdotool mousemove --window "$WID" 10 60 click 1
xdotool mousemove --window "$WID" 800 20 click 1
xdotool mousemove --window "$WID" 1590 1270 click 1
sleep 1.5
kill -0 $GPID 2>/dev/null || fail "a click beside the play area ended the game"
xdotool windowsize "$WID" 1600 1200
wait_size 1600x1200
sleep 0.5
xdotool mousemove --window "$WID" 1560 1150 click 1
wait_exit 0
echo "ok: in a 1600 x 1200 window a click on the play area quits, one beside it does not"

# 6. The language: an English locale starts in English; the settings' entry
# goes before the environment; L on the pause screen moves on and is kept.
rm -f "$SETTINGS"
start_game SDL_AUDIODRIVER=dummy LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE=
wait_play_screen
[ "$(xdotool getwindowname "$WID")" = "Pikora☆Ltd.!" ] || fail "LANG=en_US.UTF-8: the caption is $(xdotool getwindowname "$WID")"
xdotool key --window "$WID" Escape
wait_exit 0
echo "ok: LANG=en_US.UTF-8 starts in English"
mkdir -p "$(dirname "$SETTINGS")"
printf 'language = ja\n' >"$SETTINGS"
start_game SDL_AUDIODRIVER=dummy LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE=
wait_play_screen
[ "$(xdotool getwindowname "$WID")" = "有限会社☆ピコラ！" ] || fail "language = ja: the caption is $(xdotool getwindowname "$WID")"
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key --window "$WID" p
sleep 0.3
xdotool key --window "$WID" l
sleep 0.3
xdotool key --window "$WID" p
sleep 0.5
[ "$(xdotool getwindowname "$WID")" = "Pikora☆Ltd.!" ] || fail "after L: the caption is $(xdotool getwindowname "$WID")"
xdotool key --window "$WID" Escape
wait_exit 0
grep -q "language = en" "$SETTINGS" || fail "the language is not kept: $(cat "$SETTINGS")"
echo "ok: the settings' language goes before the locale, and L on the pause screen moves on and is kept"

# 7. A game recorded in the window, its language changed midway; F12 saves
# its picture and says so for a moment; the recording is checked without a
# window, then shown in the window again to the very same final picture.
export XDG_PICTURES_DIR=$WORK/pictures
rm -f "$SETTINGS"  # the window at 800 x 600 again
env SDL_AUDIODRIVER=dummy "$GAME" --record "$WORK/game.replay" --seed 7 >"$WORK/game.log" 2>&1 &
GPID=$!
for _ in $(seq 300); do WID=$(xdotool search --name "ピコラ|Pikora" 2>/dev/null | tail -1); [ -n "$WID" ] && break; sleep 0.1; done
wait_play_screen
xdotool windowfocus --sync "$WID" 2>/dev/null
# L on the pause screen midway: the replay speaks the languages it was played in.
for k in Up Up Left Right p l p Down Left Left Right Left; do
  xdotool key --window "$WID" "$k"
  sleep 0.6
done
wait_still
xdotool key --window "$WID" F12
sleep 0.5
shot "$WORK/noted.png"
sleep 3
shot "$WORK/final.png"
xdotool key --window "$WID" Escape
wait_exit 0
SAVED=$(ls "$XDG_PICTURES_DIR"/pikora-*.png 2>/dev/null | head -1)
[ -n "$SAVED" ] || fail "F12 saved no picture: $(cat "$WORK/game.log")"
[[ "$(basename "$SAVED")" =~ ^pikora-[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\.png$ ]] || fail "the picture is called $SAVED"
[ "$(identify -format '%m %wx%h' "$SAVED")" = "PNG 800x600" ] || fail "the picture is $(identify "$SAVED")"
[ "$(count_colour "$SAVED" 100 150 146 72 '#73414D')" -gt 20 ] || fail "the picture shows no status panel"
[ "$(compare -metric AE "$SAVED" "$WORK/final.png" null: 2>&1)" = "0" ] || fail "the picture is not what the window showed"
[ "$(compare -metric AE "$SAVED" "$WORK/noted.png" null: 2>&1)" != "0" ] || fail "no note on screen after F12"
convert "$SAVED" -crop 800x560+0+40 +repage "$WORK/saved-below.png"
convert "$WORK/noted.png" -crop 800x560+0+40 +repage "$WORK/noted-below.png"
[ "$(compare -metric AE "$WORK/saved-below.png" "$WORK/noted-below.png" null: 2>&1)" = "0" ] ||
  fail "F12's note spreads over the picture"
grep -q "the picture is saved as $SAVED" "$WORK/game.log" || fail "nothing said about the picture"
echo "ok: F12 saved $(basename "$SAVED"), 800 x 600, the play screen, the note only on screen"
tail -1 "$WORK/game.replay" | grep -q "^end quit " || fail "the replay's end: $(tail -1 "$WORK/game.replay")"
grep -Eq "^[0-9]+ \+[0-9]+ language [a-z]+$" "$WORK/game.replay" || fail "no change of language in the replay"

VERDICT=$("$GAME" --verify "$WORK/game.replay" 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "--verify: status $rc, $VERDICT"
[[ "$VERDICT" =~ ^quit,\ score\ [0-9]+,\ funds\ [0-9]+,\ [0-9]+\ ticks$ ]] || fail "--verify says $VERDICT"
echo "ok: recorded $(grep -c ' key ' "$WORK/game.replay") keys, and --verify says: $VERDICT"

# A game ended by SIGTERM while the logo shows ends at once and still
# verifies: the close is recorded after the wait it came in.
env SDL_AUDIODRIVER=dummy "$GAME" --record "$WORK/termed.replay" --seed 9 >"$WORK/game.log" 2>&1 &
GPID=$!
for _ in $(seq 300); do xdotool search --name "ピコラ|Pikora" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
kill -TERM $GPID
TERMED=$(date +%s%N)
wait_exit 0
[ $(( ($(date +%s%N) - TERMED) / 1000000 )) -lt 1500 ] || fail "SIGTERM during the logo took more than 1.5 s to end the game"
tail -2 "$WORK/termed.replay" | head -1 | grep -Eq "^1 \+[0-9]+ close$" || fail "the close is not recorded after the intro: $(cat "$WORK/termed.replay")"
"$GAME" --verify "$WORK/termed.replay" >/dev/null 2>&1 || fail "a game ended during the logo does not verify: $(cat "$WORK/termed.replay")"
echo "ok: SIGTERM during the logo ends the game at once, and the game verifies"

: >"$WORK/replay.log"
env SDL_AUDIODRIVER=dummy "$GAME" --replay "$WORK/game.replay" >"$WORK/replay.log" 2>&1 &
GPID=$!
for _ in $(seq 600); do grep -q "the replay is over" "$WORK/replay.log" && break; kill -0 $GPID 2>/dev/null || break; sleep 0.1; done
grep -q "the replay is over" "$WORK/replay.log" || fail "the replay never ended: $(cat "$WORK/replay.log")"
WID=$(xdotool search --name "ピコラ|Pikora" 2>/dev/null | tail -1)
sleep 0.3
shot "$WORK/replayed.png"
[ "$(compare -metric AE "$WORK/final.png" "$WORK/replayed.png" null: 2>&1)" = "0" ] || fail "the replay ends on another picture"
grep -qx "$VERDICT" "$WORK/replay.log" || fail "the replay ended otherwise: $(cat "$WORK/replay.log")"
xdotool key --window "$WID" Left
sleep 0.5
kill -0 $GPID 2>/dev/null || fail "a key other than quitting ended the finished replay"
xdotool key --window "$WID" Escape
wait_exit 0
echo "ok: the replay in the window ends on the recorded game's final picture"

# 8. A pictures folder that cannot be made: a word on screen and on stderr,
# and the game plays on.
touch "$WORK/a-file"
export XDG_PICTURES_DIR=$WORK/a-file/pictures
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key --window "$WID" F12
sleep 1
kill -0 $GPID 2>/dev/null || fail "F12 into a folder that cannot be made ended the game"
grep -q "the picture is not saved: cannot make the folder $XDG_PICTURES_DIR" "$WORK/game.log" || fail "nothing said: $(cat "$WORK/game.log")"
xdotool key --window "$WID" Escape
wait_exit 0
echo "ok: F12 into a folder that cannot be made says so and plays on"

# 9. Whatever lies at the names F12 would take (a dangling link, a named pipe
# with no reader) is passed over: nothing is written through the link, F12
# never waits on the pipe, and the picture goes under a free name.
export XDG_PICTURES_DIR=$WORK/hostile-pictures
mkdir -p "$XDG_PICTURES_DIR"
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
now=$(date +%s)
for s in $(seq 0 8); do
  stamp=$(date -d "@$((now + s))" +%Y-%m-%d_%H-%M-%S)
  ln -s "$WORK/through-the-link-$s" "$XDG_PICTURES_DIR/pikora-$stamp.png"
  mkfifo "$XDG_PICTURES_DIR/pikora-$stamp-2.png"
done
xdotool windowfocus --sync "$WID" 2>/dev/null
xdotool key --window "$WID" F12
sleep 1
kill -0 $GPID 2>/dev/null || fail "F12 beside links and pipes ended the game"
xdotool key --window "$WID" Escape
wait_exit 0
ls "$WORK"/through-the-link-* >/dev/null 2>&1 && fail "F12 wrote through a link"
SAVED=$(find "$XDG_PICTURES_DIR" -name 'pikora-*.png' -type f | head -1)
[ -n "$SAVED" ] || fail "F12 beside links and pipes saved nothing: $(cat "$WORK/game.log")"
[ "$(identify -format '%m %wx%h' "$SAVED")" = "PNG 800x600" ] || fail "the picture is $(identify "$SAVED")"
echo "ok: F12 passes over a link and a pipe at its names and saves $(basename "$SAVED")"

# 10. A game killed with SIGKILL while a request waits goes on where it
# stopped with --continue: the same picture within 3 s. A plain start then
# offers it during the intro (the note at the top) and C takes the offer;
# the game, twice interrupted, verifies as one.
export XDG_STATE_HOME=$WORK/state9
start_game SDL_AUDIODRIVER=dummy
wait_play_screen
xdotool windowfocus --sync "$WID" 2>/dev/null
for k in Left Right Up Left; do xdotool key --window "$WID" $k; sleep 0.7; done
wait_still
cp "$WORK/still.png" "$WORK/killed.png"
kill -9 $GPID
wait $GPID 2>/dev/null
same_as_killed() {  # within ms
  local t0 now
  t0=$(date +%s%N)
  while :; do
    shot "$WORK/continued.png"
    [ "$(compare -metric AE "$WORK/killed.png" "$WORK/continued.png" null: 2>&1)" = "0" ] && break
    now=$((($(date +%s%N) - t0) / 1000000))
    [ $now -lt "$1" ] || fail "continued, not the picture it stopped on after $now ms: $(cat "$WORK/game.log")"
    sleep 0.1
  done
}
ARGS=--continue start_game SDL_AUDIODRIVER=dummy
same_as_killed 3000
grep -q "caught up at point" "$WORK/game.log" || fail "nothing said of catching up: $(cat "$WORK/game.log")"
echo "ok: killed with SIGKILL while a request waited, --continue shows it again: $(grep -o 'caught up.*' "$WORK/game.log")"
xdotool key --window "$WID" Escape
wait_exit 0
start_game SDL_AUDIODRIVER=dummy
sleep 0.7
shot "$WORK/offer.png"
# The note's white letters in the dimmed strip along the top, over the black intro.
n=$(count_colour "$WORK/offer.png" 700 26 16 12 '#FFFFFF')
[ "${n:-0}" -gt 40 ] || fail "no offer at the top during the intro ($n white pixels)"
xdotool key --window "$WID" c
same_as_killed 5000
xdotool key --window "$WID" Escape
wait_exit 0
[ "$(ls "$XDG_STATE_HOME"/pikora/game-*.replay | wc -l)" = 1 ] || fail "kept: $(ls "$XDG_STATE_HOME"/pikora)"
VERDICT=$("$GAME" --verify "$XDG_STATE_HOME"/pikora/game-*.replay 2>&1) || fail "the continued game does not verify: $VERDICT"
echo "ok: the offer during the intro, C continues it, and the game verifies as one: $VERDICT"
