// A whole game on the headless twin: the player permits every request.
#include <benchmark/benchmark.h>

#include "core/Form.h"
#include "platform/headless/Headless.h"

static void BM_FullHeadlessGame(benchmark::State& state) {
  uint64_t seed = 1;
  int64_t ticks = 0;
  for (auto _ : state) {
    plat::Headless hp(seed++);
    pk::Form1 f(hp);
    f.Form_Load();
    while (f.Step()) {
      if (f.Mode == 1) hp.Key(plat::kKeyLeft);
      if (f.Mode >= 2) break;
    }
    ticks += 4009 / 3;
    benchmark::DoNotOptimize(f.Sikin.Get());
  }
  state.counters["games/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullHeadlessGame)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
