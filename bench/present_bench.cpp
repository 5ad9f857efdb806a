// Presents of the real window (needs an X display, e.g. Xvfb as perf.sh
// runs it): a frame that did not change and one whose face box did.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/SdlPlatform.h"

namespace {

plat::SdlPlatform* Window(benchmark::State& state) {
  static plat::SdlPlatform* p = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("PIKORA_SOUNDFONT", "none", 0);
    return new plat::SdlPlatform;  // one window for every run; SDL starts once
  }();
  if (!p->Ok()) state.SkipWithError("no window (is DISPLAY set?)");
  return p;
}

void BM_PresentUnchanged(benchmark::State& state) {
  plat::SdlPlatform* p = Window(state);
  p->Display(0).Fill(plat::Rgb(40, 90, 40));
  p->Present();
  for (auto _ : state) p->Present();
}
BENCHMARK(BM_PresentUnchanged)->Unit(benchmark::kMicrosecond);

// A step of an animation: the 96 x 96 face box changes.
void BM_PresentChanged(benchmark::State& state) {
  plat::SdlPlatform* p = Window(state);
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
  int k = 0;
  for (auto _ : state) {
    p->Display(0).Fill((k ^= 1) ? plat::Rgb(200, 180, 220) : plat::Rgb(90, 60, 120));
    p->Present();
  }
}
BENCHMARK(BM_PresentWhole)->Unit(benchmark::kMicrosecond);

}  // namespace
