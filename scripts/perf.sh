#!/usr/bin/env bash
# Measures the real game under Xvfb (software OpenGL, SDL's dummy audio
# driver, the default SoundFont), three runs of a fixed seed and key script,
# and prints the medians:
#   - start to the logo on screen, against a bare SDL2 window (same run);
#   - CPU over wall time during play, a key every 0.7 s;
#   - CPU while a request waits with the music playing;
#   - peak memory;
# then the Google benchmarks.
# Usage: bash scripts/perf.sh [build dir, default build] [seconds of play, default 30]
# CPU is the process's own time (/proc), so other work on the machine only
# disturbs it a little; the load average is printed with the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
PLAY=${2:-30}
RUNS=${PIKORA_PERF_RUNS:-3}
if [ -z "${PIKORA_PERF_NO_BUILD:-}" ]; then
  scripts/deps.sh
  cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD" -j"$(nproc)" --target pikora pikora_bench pikora_bare_window pikora_first_frame >/dev/null
fi
GAME=$(realpath "$BUILD/pikora")
BARE=$(realpath "$BUILD/pikora_bare_window")
FIRST=$(realpath "$BUILD/pikora_first_frame")
SF=$(ls /usr/share/sounds/sf2/TimGM6mb.sf2 2>/dev/null || true)
[ -n "$SF" ] || { echo "TimGM6mb is missing: run scripts/deps.sh" >&2; exit 1; }
export PIKORA_SOUNDFONT=${PIKORA_SOUNDFONT:-$SF} SDL_AUDIODRIVER=dummy
SEED=${PIKORA_SEED:-20261207}

for n in $(seq 100 140); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { DISP=:$n; break; }
done
Xvfb "$DISP" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
GPID=""
trap 'kill $XPID 2>/dev/null; [ -n "$GPID" ] && kill $GPID 2>/dev/null; true' EXIT
for _ in $(seq 50); do xdpyinfo -display "$DISP" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$DISP

hz=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s%N; }
pct() { awk -v c="$1" -v hz="$hz" -v w="$2" 'BEGIN { printf "%.2f", 100 * c / hz / (w / 1e9) }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Waits until two window pictures a second apart are the same (at most
# $2 tries, default 60); false if they never were.
still() {
  import -window "$1" /tmp/pikora-still.$$.png 2>/dev/null || true
  for _ in $(seq "${2:-60}"); do
    sleep 1
    import -window "$1" /tmp/pikora-still2.$$.png 2>/dev/null || true
    [ "$(compare -metric AE /tmp/pikora-still.$$.png /tmp/pikora-still2.$$.png null: 2>&1)" = "0" ] && return 0
    mv -f /tmp/pikora-still2.$$.png /tmp/pikora-still.$$.png 2>/dev/null || true
  done
  return 1
}

# Start-up: the logo's square for the game, the same square for the bare window.
startup() {  # program [args] -> sets MS, leaves GPID running
  "$FIRST" 368 268 64 64 "$@" >/tmp/pikora-first.$$
  MS=$(sed -n 1p /tmp/pikora-first.$$)
  GPID=$(sed -n 2p /tmp/pikora-first.$$)
}

: >/tmp/pikora-perf.$$
for r in $(seq "$RUNS"); do
  startup "$BARE"; bare=$MS
  kill "$GPID"; while kill -0 "$GPID" 2>/dev/null; do sleep 0.1; done; GPID=""
  startup "$GAME" --seed "$SEED"; logo=$MS
  WID=$(xdotool search --pid "$GPID" 2>/dev/null | tail -1)
  # The rest of the intro (4 s), and the tune being made once when the music
  # opens (BM_MakeTheTune below gives its cost) before play is measured.
  sleep 8
  # Play: the same key script every run, mostly refusals so the company lasts.
  c0=$(cpu "$GPID"); w0=$(now)
  for k in $(seq $((PLAY * 10 / 7))); do
    if [ $((k % 4)) -eq 0 ]; then key=Left; elif [ $((k % 7)) -eq 3 ]; then key=Up; else key=Right; fi
    xdotool key --window "$WID" "$key" 2>/dev/null || true
    sleep 0.7
  done
  c1=$(cpu "$GPID"); w1=$(now)
  play=$(pct $((c1 - c0)) $((w1 - w0)))
  # A request waits: once the picture stands still, only the music goes on.
  # (Right after the last key the staff and the pen may still be moving.)
  still "$WID" || true
  c0=$(cpu "$GPID"); w0=$(now)
  sleep 10
  c1=$(cpu "$GPID"); w1=$(now)
  idle=$(pct $((c1 - c0)) $((w1 - w0)))
  still "$WID" 1 || echo "run $r: the picture moved while waiting; that figure includes it"
  mem=$(awk '/VmHWM/ {print $2 / 1024}' "/proc/$GPID/status")
  xdotool key --window "$WID" Escape 2>/dev/null || true
  while kill -0 "$GPID" 2>/dev/null; do sleep 0.1; done; GPID=""
  echo "run $r: logo $logo ms, bare window $bare ms, play $play %, waiting $idle %, peak $mem MB, load $(cut -d' ' -f1 /proc/loadavg)"
  echo "$logo $bare $play $idle $mem $(awk -v a="$logo" -v b="$bare" 'BEGIN { printf "%.2f", a / b }')" >>/tmp/pikora-perf.$$
done
col() { awk -v k="$1" '{print $k}' /tmp/pikora-perf.$$ | median; }
logo=$(col 1); bare=$(col 2)
echo "start to the logo: $logo ms; bare SDL2 window: $bare ms; median ratio $(col 6) (medians of $RUNS)"
echo "CPU over wall, $PLAY s of play, a key every 0.7 s: $(col 3) % (median of $RUNS)"
echo "CPU while a request waits, music playing: $(col 4) % (median of $RUNS)"
echo "peak memory: $(col 5) MB (median of $RUNS)"
rm -f /tmp/pikora-perf.$$ /tmp/pikora-first.$$ /tmp/pikora-still*.$$.png

"$BUILD/bench/pikora_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'BM_.*median'
