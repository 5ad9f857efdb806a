// The cheap drawing paths must give the same pixels as the plain ones: copies
// that skip tiles already holding their source, and presents that send only
// what changed.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>

#include "platform/SdlPlatform.h"

namespace {

// Random drawing on three surfaces, mirrored on plain pixel arrays: panel
// copies back and forth (aligned and not, whole tiles and parts), boxes,
// points and text printed again where it was.
TEST(Drawing, SkippedTileCopiesLeaveTheSamePixelsAsPlainCopies) {
  constexpr int W = 96, H = 80;
  std::mt19937 rng(7);
  auto r = [&](int n) { return int(rng() % unsigned(n)); };
  // Each surface in bands of its own colours, so what a copy brings differs.
  plat::Surface s[3] = {plat::Surface(W, H), plat::Surface(W, H), plat::Surface(W, H)};
  std::vector<plat::Color> plain[3];
  for (int k = 0; k < 3; ++k) {
    for (int y = 0; y < H; ++y) std::fill_n(s[k].Row(y), W, plat::Color(rng() & 0xffffff));
    plain[k] = s[k].Pixels();
  }
  for (int step = 0; step < 4000; ++step) {
    const int d = r(3), op = r(10);
    if (op < 6) {
      // Mostly the same spot in both, as the game's panels are copied.
      // Often whole tiles, as the game's chips and panels are.
      const bool tiles = r(2);
      const int from = r(3), x = tiles ? 16 * r(6) : r(W) - 8, y = tiles ? 16 * r(5) : r(H) - 8;
      const int w = tiles ? 16 * (1 + r(3)) : 1 + r(48), h = tiles ? 16 * (1 + r(3)) : 1 + r(48);
      const int sx = op < 4 ? x : r(W) - 8, sy = op < 4 ? y : r(H) - 8;
      s[d].Copy(x, y, w, h, s[from], sx, sy);
      const std::vector<plat::Color> src = plain[from];
      for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
          if (x + i >= 0 && x + i < W && y + j >= 0 && y + j < H && sx + i >= 0 && sx + i < W && sy + j >= 0 && sy + j < H)
            plain[d][size_t(y + j) * W + x + i] = src[size_t(sy + j) * W + sx + i];
    } else if (op < 8) {
      const int x = r(W), y = r(H), c = r(1 << 24);
      s[d].Set(x, y, c);
      plain[d][size_t(y) * W + x] = c;
    } else if (op == 8) {
      const int x = r(W), y = r(H), x2 = x + r(20), y2 = y + r(20), c = r(1 << 24);
      s[d].Box(x, y, x2, y2, c, true);
      for (int j = y; j <= std::min(y2, H - 1); ++j)
        for (int i = x; i <= std::min(x2, W - 1); ++i) plain[d][size_t(j) * W + i] = c;
    } else {
      // A few spots and colours, as the panels print, so a print often meets
      // the tiles it met before and may take what it made then. The model
      // prints on a surface of a height never printed on before, which no
      // print can remember.
      const int x = 8 * r(4) - 4, y = 8 * r(4) - 4;
      const plat::Color c = r(2) ? 0xffffff : 0x203040;
      plat::Surface fresh(W, H + 1 + step);
      for (int j = 0; j < H; ++j) std::memcpy(fresh.Row(j), plain[d].data() + size_t(j) * W, W * sizeof(plat::Color));
      for (plat::Surface* t : {&s[d], &fresh}) {
        t->curX = x, t->curY = y, t->attr.color = c;
        plat::PrintText(*t, "ab");
      }
      for (int j = 0; j < H; ++j) std::memcpy(plain[d].data() + size_t(j) * W, std::as_const(fresh).Row(j), W * sizeof(plat::Color));
    }
    for (int k = 0; k < 3; ++k) ASSERT_EQ(s[k].Pixels(), plain[k]) << "step " << step << ", surface " << k;
  }
}

// The window (SDL's dummy video driver keeps its picture in memory) shows
// surface 0 after any series of partial presents exactly as after a whole one.
TEST(Drawing, PartialPresentsShowWhatAWholePresentShows) {
  plat::SdlPlatform p;
  ASSERT_TRUE(p.Ok());
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
