// Text through SDL_ttf with the Japanese gothic font carried in the program.
// Sizes are points at 96 dpi, as the window's drawing surfaces measured them.
#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <utility>

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

}  // namespace

void PrintText(Surface& s, const std::string& utf8) {
  if (utf8.empty()) return;
  TTF_Font* f = FontFor(s.attr.size, s.attr.bold);
  if (!f) return;
  SDL_Surface* g = TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255});
  if (!g) return;
  SDL_Surface* a = SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(g);
  if (!a) return;
  const Color c = s.attr.color;
  const int cr = (c >> 16) & 255, cg = (c >> 8) & 255, cb = c & 255;
  for (int y = 0; y < a->h; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(a->pixels) + size_t(y) * a->pitch);
    int dy = s.curY + y;
    if (dy < 0 || dy >= s.H()) continue;
    Color* row = s.Row(dy);
    for (int x = 0; x < a->w; ++x) {
      int dx = s.curX + x;
      if (dx < 0 || dx >= s.W()) continue;
      int al = int(src[x] >> 24);
      if (al == 0) continue;
      Color d = row[dx];
      int dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255;
      dr += (cr - dr) * al / 255;
      dg += (cg - dg) * al / 255;
      db += (cb - db) * al / 255;
      row[dx] = Rgb(dr, dg, db);
    }
  }
  SDL_FreeSurface(a);
}

int TextWidth(const TextAttr& at, const std::string& utf8) {
  TTF_Font* f = FontFor(at.size, at.bold);
  int w = 0, h = 0;
  if (!f || TTF_SizeUTF8(f, utf8.c_str(), &w, &h) != 0) return 0;
  return w;
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
