// Presents of the real window (needs an X display, e.g. Xvfb as perf.sh
// runs it): a frame that did not change and one whose face box did.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/sdl/SdlPlatform.h"

namespace {

// Settings changed by a benchmark are not kept anywhere.
struct Forget : plat::Keeper {
  void Keep(const plat::Lasting&) override {}
};

plat::SdlPlatform* Window(benchmark::State& state) {
  static plat::SdlPlatform* p = []() -> plat::SdlPlatform* {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("PIKORA_SOUNDFONT", "none", 0);
    static Forget forget;
    try {
      return new plat::SdlPlatform(plat::SdlStart{}, forget);  // one window for every run; SDL starts once
    } catch (const plat::StartFailure&) {
      return nullptr;
    }
  }();
  if (!p) state.SkipWithError("no window (is DISPLAY set?)");
  return p;
}

void BM_PresentUnchanged(benchmark::State& state) {
  plat::SdlPlatform* p = Window(state);
  if (!p) return;
  p->Display(0).Fill(plat::Rgb(40, 90, 40));
  p->Present();
  for (auto _ : state) p->Present();
}
BENCHMARK(BM_PresentUnchanged)->Unit(benchmark::kMicrosecond);

// A step of an animation: the 96 x 96 face box changes.
void BM_PresentChanged(benchmark::State& state) {
  plat::SdlPlatform* p = Window(state);
  if (!p) return;
  plat::Surface face[2] = {plat::Surface(96, 96, plat::Rgb(200, 180, 220)), plat::Surface(96, 96, plat::Rgb(90, 60, 120))};
  int k = 0;
  for (auto _ : state) {
    p->Display(0).Copy(64, 256, 96, 96, face[k ^= 1], 0, 0);
    p->Present();
  }
}
BENCHMARK(BM_PresentChanged)->Unit(benchmark::kMicrosecond);

// The whole picture changes, as when the play screen first appears.
void BM_PresentWhole(benchmark::State& state) {
  plat::SdlPlatform* p = Window(state);
  if (!p) return;
  int k = 0;
  for (auto _ : state) {
    p->Display(0).Fill((k ^= 1) ? plat::Rgb(200, 180, 220) : plat::Rgb(90, 60, 120));
    p->Present();
  }
}
BENCHMARK(BM_PresentWhole)->Unit(benchmark::kMicrosecond);

}  // namespace
