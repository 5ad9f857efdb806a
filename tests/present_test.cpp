// Presents that send only what changed must show what a whole present shows.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <random>
#include <utility>

#include "app/Shell.h"
#include "platform/sdl/SdlPlatform.h"

namespace {

// The window (SDL's dummy video driver keeps its picture in memory) shows
// surface 0 after any series of partial presents exactly as after a whole one.
TEST(Drawing, PartialPresentsShowWhatAWholePresentShows) {
  app::Shell shell({});
  plat::SdlPlatform p(shell.start, *shell.keeper);
  SDL_Window* w = nullptr;
  for (uint32_t id = 1; !w && id < 100; ++id) w = SDL_GetWindowFromID(id);
  SDL_Surface* win = w ? SDL_GetWindowSurface(w) : nullptr;
  ASSERT_NE(win, nullptr);
  auto shown = [&] {
    std::vector<uint32_t> px(size_t(win->w) * win->h);
    SDL_ConvertPixels(win->w, win->h, win->format->format, win->pixels, win->pitch, SDL_PIXELFORMAT_XRGB8888,
                      px.data(), win->w * 4);
    return px;
  };
  std::mt19937 rng(3);
  plat::Surface& s = p.Display(0);
  for (int step = 0; step < 60; ++step) {
    for (int n = int(rng() % 4); n > 0; --n) {
      const int x = int(rng() % 760), y = int(rng() % 570);
      s.Box(x, y, x + int(rng() % 120), y + int(rng() % 40), plat::Color(rng() & 0xffffff), true);
    }
    if (step % 7 == 0) s.Set(int(rng() % 768), int(rng() % 576), 0xffffff);
    p.Present();
    const std::vector<uint32_t> partial = shown();
    p.RedrawAll();
    p.Present();
    ASSERT_EQ(partial, shown()) << "step " << step;
    for (int y = 0; y < s.H(); ++y)
      ASSERT_EQ(0, std::memcmp(std::as_const(s).Row(y), &partial[size_t(y + plat::Platform::kSurfY) * win->w + plat::Platform::kSurfX],
                               size_t(s.W()) * 4)) << "row " << y;
  }
}

}  // namespace
