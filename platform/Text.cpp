// Text through SDL_ttf with the Japanese gothic font carried in the program.
// Sizes are points at 96 dpi, as the window's drawing surfaces measured them.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Embedded.h"
#include "platform/Platform.h"

namespace plat {
namespace {

TTF_Font* FontFor(int size, bool bold) {
  static std::map<std::pair<int, bool>, TTF_Font*> cache;
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


// The coverage of a rendered text, kept because panels print the same few
// labels and numbers over and over; a whole headless game stays fast.
// Only the inked runs of each row are kept, so printing skips the blank
// between strokes and fully covered pixels take the colour without blending.
struct Run {
  int16_t y, x, n;  // row, first column, length
  uint32_t at;      // offset of its coverage in alpha
};
struct Mask {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // the inked part, inclusive
  std::vector<Run> runs;
  std::vector<uint8_t> alpha;
};

const Mask& MaskFor(int size, bool bold, const std::string& utf8) {
  static std::unordered_map<std::string, Mask> cache;
  thread_local std::string key;
  key.assign({char(size & 255), char(size >> 8), char(bold)});
  key += utf8;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (cache.size() > 8192) cache.clear();  // numbers change; keep it bounded
  Mask& m = cache[key];
  TTF_Font* f = FontFor(size, bold);
  SDL_Surface* g = f ? TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255}) : nullptr;
  SDL_Surface* a = g ? SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  if (a) {
    for (int y = 0; y < a->h; ++y) {
      const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(a->pixels) + size_t(y) * a->pitch);
      for (int x = 0; x < a->w;) {
        if ((src[x] >> 24) == 0) { ++x; continue; }
        Run r{int16_t(y), int16_t(x), 0, uint32_t(m.alpha.size())};
        for (; x < a->w && (src[x] >> 24) != 0; ++x, ++r.n) m.alpha.push_back(uint8_t(src[x] >> 24));
        m.runs.push_back(r);
      }
    }
    m.x0 = a->w;
    m.y0 = a->h;
    for (const Run& r : m.runs) {
      m.x0 = std::min<int>(m.x0, r.x);
      m.x1 = std::max<int>(m.x1, r.x + r.n - 1);
      m.y0 = std::min<int>(m.y0, r.y);
      m.y1 = std::max<int>(m.y1, r.y);
    }
  }
  if (a) SDL_FreeSurface(a);
  if (g) SDL_FreeSurface(g);
  return m;
}

// d + (c - d) * al / 255 per channel, the division rounding toward zero.
Color Blend(Color d, Color c, int al) {
  auto div255 = [](int v) { return (v + 1 + (v >> 8)) >> 8; };  // exact for 0 <= v <= 65535
  auto mix = [&](int sh) {
    const int dc = int(d >> sh) & 255, cc = int(c >> sh) & 255;
    return cc >= dc ? dc + div255((cc - dc) * al) : dc - div255((dc - cc) * al);
  };
  return Rgb(mix(16), mix(8), mix(0));
}

// Text lands mostly on a plain panel: every coverage over one background
// colour blends to one of 256 colours, worked out once per colour pair.
const Color* BlendTable(Color c, Color bg) {
  static std::unordered_map<uint64_t, std::array<Color, 256>> cache;
  const uint64_t key = (uint64_t(c) << 32) | bg;
  if (auto it = cache.find(key); it != cache.end()) return it->second.data();
  if (cache.size() > 1024) cache.clear();
  auto& t = cache[key];
  for (int al = 0; al < 256; ++al) t[size_t(al)] = Blend(bg, c, al);
  return t.data();
}

}  // namespace

void PrintText(Surface& s, const std::string& utf8) {
  if (utf8.empty()) return;
  if (drawSink) drawSink->Printed(s, utf8);
  const Mask& m = MaskFor(s.attr.size, s.attr.bold, utf8);
  const Color c = s.attr.color & 0xffffff;
  Color bg = 0;
  const Color* table = nullptr;  // for the first background met
  s.MarkChanged(s.curX + m.x0, s.curY + m.y0, m.x1 - m.x0 + 1, m.y1 - m.y0 + 1);
  for (const Run& r : m.runs) {
    const int dy = s.curY + r.y;
    if (dy < 0 || dy >= s.H()) continue;
    const int from = std::max(0, -(s.curX + r.x)), to = std::min<int>(r.n, s.W() - (s.curX + r.x));
    Color* row = s.RawRow(dy) + s.curX + r.x;
    const uint8_t* al = m.alpha.data() + r.at;
    for (int i = from; i < to; ++i) {
      const Color d = row[i];
      if (!table) table = BlendTable(c, bg = d);
      row[i] = d == bg ? table[al[i]] : Blend(d, c, al[i]);
    }
  }
}

bool FontHasGlyphs(const std::string& utf8) {
  TTF_Font* f = FontFor(12, false);
  if (!f) return false;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    uint32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c >> 5) == 6) { cp = c & 0x1f; n = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0f; n = 3; }
    else { cp = c & 0x07; n = 4; }
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3f);
    i += n;
    if (cp == '\n' || cp == ' ') continue;
    if (!TTF_GlyphIsProvided32(f, cp)) return false;
  }
  return true;
}

}  // namespace plat
