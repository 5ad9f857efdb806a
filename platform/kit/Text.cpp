#include "platform/kit/Text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Embedded.h"
#include "platform/kit/Font.h"

namespace plat {

TTF_Font* FontFor(int size, bool bold) {
  thread_local std::map<std::pair<int, bool>, TTF_Font*> cache;
  auto key = std::make_pair(size, bold);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  auto data = Embedded("font");
  if (data.empty()) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(data.data(), int(data.size()));
  TTF_Font* f = TTF_OpenFontDPIRW(rw, 1, size, 96, 96);
  if (f) {
    TTF_SetFontStyle(f, bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
    TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
  }
  cache[key] = f;
  return f;
}

namespace {

// The coverage of a rendered text over its inked box. Panels print the same
// labels and numbers over and over, so each is rendered once and kept.
struct Mask {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // the inked box, inclusive
  std::vector<uint8_t> alpha;             // its coverage, row by row
  int W() const { return x1 - x0 + 1; }
};

// The text as SDL_ttf renders it; empty when the font or the text fails.
void Rendered(Mask& m, int size, bool bold, const std::string& utf8) {
  m = Mask{};
  TTF_Font* f = FontFor(size, bold);
  SDL_Surface* g = f ? TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255}) : nullptr;
  SDL_Surface* in = g ? SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  if (in) {
    auto at = [&](int x, int y) {
      return uint8_t(reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(in->pixels) + size_t(y) * in->pitch)[x] >> 24);
    };
    m.x0 = in->w, m.y0 = in->h;
    for (int y = 0; y < in->h; ++y)
      for (int x = 0; x < in->w; ++x)
        if (at(x, y)) m.x0 = std::min(m.x0, x), m.x1 = std::max(m.x1, x), m.y0 = std::min(m.y0, y), m.y1 = y;
    if (m.x1 >= 0) {
      m.alpha.resize(size_t(m.W()) * (m.y1 - m.y0 + 1));
      for (int y = m.y0; y <= m.y1; ++y)
        for (int x = m.x0; x <= m.x1; ++x) m.alpha[size_t(y - m.y0) * m.W() + (x - m.x0)] = at(x, y);
    }
    SDL_FreeSurface(in);
  }
  if (g) SDL_FreeSurface(g);
}

const Mask& MaskFor(int size, bool bold, const std::string& utf8) {
  thread_local std::unordered_map<std::string, Mask> cache;
  std::string key{char(size & 255), char(size >> 8), char(bold)};
  key += utf8;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (cache.size() > 8192) cache.clear();  // a game prints far fewer texts; keep it bounded anyway
  Mask& m = cache[key];
  Rendered(m, size, bold, utf8);
  return m;
}

// d + (c - d) * al / 255 per channel, the division rounding toward zero.
Color Blend(Color d, Color c, int al) {
  auto mix = [&](int sh) {
    const int dc = int(d >> sh) & 255, cc = int(c >> sh) & 255;
    return dc + (cc - dc) * al / 255;
  };
  return Rgb(mix(16), mix(8), mix(0));
}

}  // namespace

void PrintText(Surface& s, const std::string& utf8) {
  if (utf8.empty()) return;
  if (s.sink) s.sink->Printed(s, utf8);
  if (s.W() <= 0 || s.H() <= 0) return;  // nothing to print on: nothing to render
  const Mask& m = MaskFor(s.attr.size, s.attr.bold, utf8);
  const Color c = s.attr.color & 0xffffff;
  const int x0 = std::max(m.x0, -s.curX), x1 = std::min(m.x1, s.W() - 1 - s.curX);
  const int y0 = std::max(m.y0, -s.curY), y1 = std::min(m.y1, s.H() - 1 - s.curY);
  for (int y = y0; y <= y1; ++y) {
    Color* row = s.Row(s.curY + y) + s.curX;
    const uint8_t* al = m.alpha.data() + size_t(y - m.y0) * m.W() - m.x0;
    for (int x = x0; x <= x1; ++x)
      if (al[x] == 255) row[x] = c;  // most of the ink, and the same as blending it
      else if (al[x]) row[x] = Blend(row[x], c, al[x]);
  }
}

}  // namespace plat
