// Making the game's tune into samples, as the mixer does once when the music
// opens: what it costs instead of synthesising all game long.
#include <benchmark/benchmark.h>

#include "platform/sdl/AudioFiles.h"
#include "platform/desktop/RenderedTune.h"

static void BM_MakeTheTune(benchmark::State& state) {
  bool ok = false;
  auto midi = std::make_shared<const std::vector<uint8_t>>(plat::ReadFileBytes(PIKORA_AUDIO_DIR "bg/bg1.mid", ok));
  const std::string sf = plat::FindSoundFont("");
  if (!ok || sf.empty()) return state.SkipWithError("no tune or no SoundFont");
  const plat::MidiSummary summary = plat::ParseMidi(*midi);
  const int64_t frames = int64_t(summary.seconds * 44100);
  for (auto _ : state) {
    auto tune = plat::RenderedTune::Start(midi, sf, 44100, frames, 0.6);
    if (!tune->WaitFor(frames)) state.SkipWithError(tune->Error().c_str());
  }
  state.counters["tune s"] = summary.seconds;
}
// The making runs on a thread of its own: count all the process's CPU time.
BENCHMARK(BM_MakeTheTune)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(3);
