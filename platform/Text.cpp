// Text through SDL_ttf with the Japanese gothic font carried in the program.
// Sizes are points at 96 dpi, as the window's drawing surfaces measured them.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <map>
#include <tuple>
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
struct Mask {
  int w = 0, h = 0;
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // the inked part, inclusive
  std::vector<uint8_t> alpha;
};

const Mask& MaskFor(int size, bool bold, const std::string& utf8) {
  static std::map<std::tuple<int, bool, std::string>, Mask> cache;
  auto key = std::make_tuple(size, bold, utf8);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (cache.size() > 8192) cache.clear();  // numbers change; keep it bounded
  Mask& m = cache[key];
  TTF_Font* f = FontFor(size, bold);
  SDL_Surface* g = f ? TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255}) : nullptr;
  SDL_Surface* a = g ? SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  if (a) {
    m.w = a->w;
    m.h = a->h;
    m.alpha.resize(size_t(m.w) * m.h);
    for (int y = 0; y < a->h; ++y) {
      const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(a->pixels) + size_t(y) * a->pitch);
      for (int x = 0; x < a->w; ++x) m.alpha[size_t(y) * m.w + x] = uint8_t(src[x] >> 24);
    }
    m.x0 = m.w;
    m.y0 = m.h;
    for (int y = 0; y < m.h; ++y)
      for (int x = 0; x < m.w; ++x)
        if (m.alpha[size_t(y) * m.w + x]) {
          m.x0 = std::min(m.x0, x);
          m.x1 = std::max(m.x1, x);
          m.y0 = std::min(m.y0, y);
          m.y1 = std::max(m.y1, y);
        }
  }
  if (a) SDL_FreeSurface(a);
  if (g) SDL_FreeSurface(g);
  return m;
}

}  // namespace

void PrintText(Surface& s, const std::string& utf8) {
  if (utf8.empty()) return;
  if (drawSink) drawSink->Printed(s, utf8);
  const Mask& m = MaskFor(s.attr.size, s.attr.bold, utf8);
  const Color c = s.attr.color;
  const int cr = (c >> 16) & 255, cg = (c >> 8) & 255, cb = c & 255;
  for (int y = m.y0; y <= m.y1; ++y) {
    int dy = s.curY + y;
    if (dy < 0 || dy >= s.H()) continue;
    Color* row = s.Row(dy);
    const uint8_t* src = m.alpha.data() + size_t(y) * m.w;
    for (int x = m.x0; x <= m.x1; ++x) {
      int dx = s.curX + x;
      if (dx < 0 || dx >= s.W()) continue;
      int al = src[x];
      if (al == 0) continue;
      Color d = row[dx];
      int dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255;
      dr += (cr - dr) * al / 255;
      dg += (cg - dg) * al / 255;
      db += (cb - db) * al / 255;
      row[dx] = Rgb(dr, dg, db);
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
