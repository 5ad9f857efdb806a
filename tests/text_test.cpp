// Text is SDL_ttf's rendering in the game's font, blended over the surface.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/kit/Text.h"
#include "platform/kit/Font.h"
#include "platform/Platform.h"

using plat::Rgb;
using plat::Surface;

namespace {

std::vector<uint8_t> FromFont(TTF_Font* f, const std::string& text, int w, int h) {
  std::vector<uint8_t> a(size_t(w) * h, 0);
  SDL_Surface* g = TTF_RenderUTF8_Blended(f, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!g) return {};
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(g);
  for (int y = 0; y < std::min(h, argb->h); ++y)
    for (int x = 0; x < std::min(w, argb->w); ++x)
      a[size_t(y) * w + x] = uint8_t(static_cast<const uint32_t*>(argb->pixels)[size_t(y) * argb->pitch / 4 + x] >> 24);
  EXPECT_LE(argb->h, h);
  EXPECT_LE(argb->w, w);
  SDL_FreeSurface(argb);
  return a;
}

}  // namespace

// Each pixel moves toward the ink by its coverage, d + (c - d) * a / 255 per
// channel rounded toward zero, over any colour; uncovered pixels keep theirs.
TEST(Text, PrintsBlendEachPixelTowardTheInkByItsCoverage) {
  TTF_Font* f = plat::FontFor(13, true);
  ASSERT_NE(f, nullptr);
  const int w = 160, h = 40, px = 5, py = 7;
  for (const std::string text : {" 8080", "社長、たまご温め中"})
    for (plat::Color ink : {Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(250, 128, 3)}) {
      Surface s(w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Set(x, y, Rgb(x * 7, y * 13 + x, x * y));
      const Surface before = s;
      s.attr = plat::TextAttr{13, true, ink};
      s.curX = px, s.curY = py;
      plat::PrintText(s, text);
      const auto cover = FromFont(f, text, w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int a = x >= px && y >= py ? cover[size_t(y - py) * w + (x - px)] : 0;
          const plat::Color d = before.At(x, y);
          plat::Color want = d;
          if (a) {
            auto mix = [&](int sh) {
              const int dc = int(d >> sh) & 255, cc = int(ink >> sh) & 255;
              return dc + (cc - dc) * a / 255;
            };
            want = Rgb(mix(16), mix(8), mix(0));
          }
          ASSERT_EQ(s.At(x, y), want) << text << " at (" << x << ", " << y << "), coverage " << a;
        }
    }
}
