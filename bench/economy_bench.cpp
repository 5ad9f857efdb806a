// A whole game of the company's economy on the headless twin: a scripted
// manager sends every idle employee out on the next job of a round (eggs,
// warming, feed, training, sale, and a rest when worn out), so buying,
// hatching, growth, feeding, training and sales all run for 1337 ticks.
#include <benchmark/benchmark.h>

#include "core/Form.h"
#include "platform/headless/Headless.h"

namespace {

// Sends employee s out as a permission would: length, amount, elapsed 0.
void SendOut(pk::Form1& f, int s, int job) {
  const int length[6] = {15, 12, 20, 0, 20, 30};
  f.Jsigoto(s) = job;
  f.Jkikan(s) = job == 3 ? int(f.Jnouryoku(s, 3, 0)) : length[job];
  if (job <= 1) f.Jnouryoku(s, job, 0) = 20;
  f.Jkeika(s) = 0;
}

void PlayOneGame(pk::Form1& f, int64_t& ticks, int64_t& sold) {
  const int round[5] = {0, 4, 1, 2, 5};
  int next[4] = {0, 1, 2, 3};
  f.HenSyoki();
  f.Sikin = 20000;  // enough to keep the company afloat through the whole game
  f.Timer2.Interval(500);
  while (f.Mode < 2) {
    f.Timer2_Timer();
    ++ticks;
    if (f.Mode == 1) f.Display_KeyDown(plat::kKeyLeft);  // permit whatever is asked
    for (int s = 0; s <= 3; ++s) {
      if (f.Jsigoto(s) != 6 || f.Mode >= 2) continue;
      if (f.Jtairyoku(s) < 16) {
        SendOut(f, s, 3);
        continue;
      }
      SendOut(f, s, round[next[s]++ % 5]);
    }
  }
  sold += f.Score;
}

}  // namespace

static void BM_EconomyGame(benchmark::State& state) {
  uint64_t seed = 1;
  int64_t ticks = 0, score = 0;
  for (auto _ : state) {
    plat::Headless hp(seed++);
    pk::Form1 f(hp);
    PlayOneGame(f, ticks, score);
    benchmark::DoNotOptimize(f.Sikin.Get());
  }
  state.counters["ticks/s"] = benchmark::Counter(double(ticks), benchmark::Counter::kIsRate);
  state.counters["score/game"] = benchmark::Counter(double(score) / double(state.iterations()));
}
BENCHMARK(BM_EconomyGame)->Unit(benchmark::kMillisecond);
