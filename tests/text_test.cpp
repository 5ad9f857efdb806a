// Numbers on the panels change nearly every tick and are put together from
// the digits' ink rather than rendered whole; here they are held against
// SDL_ttf rendering the whole string in the game's font.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/Platform.h"

using plat::Rgb;
using plat::Surface;

namespace {

// White on black with the top-left at (0, 0): each pixel's blue is the
// coverage, exactly, as the blend of 255 over 0 at alpha a gives a.
std::vector<uint8_t> Printed(int size, bool bold, const std::string& text, int w, int h) {
  Surface s(w, h, 0);
  s.attr = plat::TextAttr{size, bold, Rgb(255, 255, 255)};
  plat::PrintText(s, text);
  std::vector<uint8_t> a;
  for (plat::Color c : s.Pixels()) a.push_back(uint8_t(c));
  return a;
}

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

TEST(Text, NumbersPrintAsTheFontRendersThemWhole) {
  std::vector<std::string> numbers;
  for (int n = 0; n <= 9999; ++n) numbers.push_back(" " + std::to_string(n));  // every digit after every other
  std::mt19937_64 rng(7);
  for (int k = 0; k < 500; ++k) numbers.push_back(" " + std::to_string(rng() % 1000000000000000000ull));
  for (const char* s : {" 999999999999999999", " 111111111111111111", " 100000000000000000", " 0000"})
    numbers.push_back(s);
  // What the composing must leave to the font: a sign, other text, no blank.
  for (const char* s : {"-12", " 12a", "12", " ", " 1 2", "１２"}) numbers.push_back(s);
  // Every number up to 9 999 at the sizes the panels use, fewer at others.
  for (int size : {9, 12, 13, 8, 10, 11, 14, 16, 20, 24})
    for (bool bold : {true, false}) {
      const bool panel = size == 9 || size == 12 || size == 13;
      TTF_Font* f = plat::FontFor(size, bold);
      ASSERT_NE(f, nullptr);
      const int h = TTF_FontHeight(f) + 4;
      for (size_t i = 0; i < numbers.size(); i += panel || i < 1000 || i >= 10000 ? 1 : 97) {
        const std::string& n = numbers[i];
        const int w = int(n.size()) * size + 8;
        const auto printed = Printed(size, bold, n, w, h), whole = FromFont(f, n, w, h);
        ASSERT_EQ(printed.size(), whole.size());
        const auto [p, q] = std::mismatch(printed.begin(), printed.end(), whole.begin());
        ASSERT_TRUE(p == printed.end()) << "\"" << n << "\" at " << size << (bold ? " bold" : "") << ": pixel ("
                                        << (p - printed.begin()) % w << ", " << (p - printed.begin()) / w << ") is "
                                        << int(*p) << ", the font gives " << int(*q);
      }
    }
}

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
