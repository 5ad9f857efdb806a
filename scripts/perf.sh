#!/usr/bin/env bash
# Measures the real game under Xvfb: time from start to the first picture,
# CPU time over wall time during 60 s of play (answering every request),
# peak memory; then the headless full-game benchmark.
# Usage: bash scripts/perf.sh [seconds of play, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
PLAY=${1:-60}
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target pikora pikora_bench >/dev/null

for n in $(seq 60 99); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { DISP=:$n; break; }
done
Xvfb "$DISP" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!
GPID=""
trap 'kill $XPID 2>/dev/null; [ -n "$GPID" ] && kill $GPID 2>/dev/null' EXIT
for _ in $(seq 50); do xdpyinfo -display "$DISP" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$DISP

t0=$(date +%s%N)
SDL_AUDIODRIVER=dummy build/pikora >/tmp/pikora-perf.log 2>&1 &
GPID=$!
# The first picture: the logo in the middle of the window.
while :; do
  WID=$(xdotool search --name "ピコラ" 2>/dev/null | tail -1 || true)
  if [ -n "$WID" ] && import -window "$WID" /tmp/pikora-perf.png 2>/dev/null &&
     [ "$(convert /tmp/pikora-perf.png -crop 64x64+368+268 +repage -format '%[fx:maxima]' info:)" != "0" ]; then
    break
  fi
  sleep 0.01
done
t1=$(date +%s%N)
echo "first picture: $(( (t1 - t0) / 1000000 )) ms after start"

sleep 5  # the intro
ticks() { awk '{print $14 + $15}' /proc/$GPID/stat; }
hz=$(getconf CLK_TCK)
c0=$(ticks); w0=$(date +%s%N)
end=$(( $(date +%s) + PLAY ))
k=0
while [ "$(date +%s)" -lt "$end" ]; do
  # Mostly refusals: permitting everything goes bankrupt within the minute,
  # and the next key then ends the game.
  k=$((k + 1))
  if [ $((k % 5)) -eq 0 ]; then key=Left; else key=Right; fi
  xdotool key --window "$WID" "$key" 2>/dev/null || true
  sleep 2
done
c1=$(ticks); w1=$(date +%s%N)
awk -v c=$((c1 - c0)) -v hz="$hz" -v w=$((w1 - w0)) \
  'BEGIN { printf "CPU over wall during play: %.2f %% (%.2f s CPU in %.1f s)\n", 100 * c / hz / (w / 1e9), c / hz, w / 1e9 }'
echo "peak memory: $(awk '/VmHWM/ {print $2, $3}' /proc/$GPID/status)"
xdotool key --window "$WID" Escape
wait $GPID || true

build/bench/pikora_bench --benchmark_min_time=1 2>/dev/null | grep BM_
