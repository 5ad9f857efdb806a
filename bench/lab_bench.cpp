// The strategy lab's speed: one blind game of permit-all, and the lab's
// 10 000 games on one thread and on more (the aim: at most 10 s on one core).
#include <benchmark/benchmark.h>

#include "lab/Lab.h"

static void BM_BlindGamePermitAll(benchmark::State& state) {
  const lab::PolicyInfo& p = *lab::FindPolicy("permit-all");
  uint64_t seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(lab::PlayGame(p, seed++).score);
  state.counters["games/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BlindGamePermitAll)->Unit(benchmark::kMicrosecond);

static void BM_LabTenThousandGames(benchmark::State& state) {
  const lab::PolicyInfo& p = *lab::FindPolicy("permit-all");
  for (auto _ : state) benchmark::DoNotOptimize(lab::PlayGames(p, 1, 10000, int(state.range(0))).size());
}
BENCHMARK(BM_LabTenThousandGames)
    ->ArgName("jobs")->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
