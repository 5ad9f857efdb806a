// Text through SDL_ttf with the Japanese gothic font carried in the program.
// Sizes are points at 96 dpi, as the window's drawing surfaces measured them.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cstring>
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
  // SDL_ttf renders in ARGB already; converting would only copy it.
  SDL_Surface* a = !g || g->format->format == SDL_PIXELFORMAT_ARGB8888 ? nullptr : SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0);
  if (const SDL_Surface* in = a ? a : g) {
    // Into scratch space sized for the worst case, then one allocation each.
    thread_local std::vector<Run> runs;
    thread_local std::vector<uint8_t> alpha;
    runs.resize(size_t(in->w) * in->h / 2 + in->h);
    alpha.resize(size_t(in->w) * in->h);
    size_t nr = 0, na = 0;
    for (int y = 0; y < in->h; ++y) {
      const uint32_t* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(in->pixels) + size_t(y) * in->pitch);
      for (int x = 0; x < in->w;) {
        if ((src[x] >> 24) == 0) { ++x; continue; }
        const int from = x;
        const uint32_t at = uint32_t(na);
        for (; x < in->w && (src[x] >> 24) != 0; ++x) alpha[na++] = uint8_t(src[x] >> 24);
        runs[nr++] = Run{int16_t(y), int16_t(from), int16_t(x - from), at};
      }
    }
    m.runs.assign(runs.begin(), runs.begin() + ptrdiff_t(nr));
    m.alpha.assign(alpha.begin(), alpha.begin() + ptrdiff_t(na));
    m.x0 = in->w;
    m.y0 = in->h;
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

// d + (c - d) * al / 255 per channel, the division rounding toward zero;
// without branches, as the shadowed text blends mostly over other ink.
inline Color Blend(Color d, Color c, int al) {
  auto mix = [&](int sh) {
    const int dc = int(d >> sh) & 255, cc = int(c >> sh) & 255;
    const int v = (cc - dc) * al, sign = v >> 31, mag = (v ^ sign) - sign;
    const int q = (mag + 1 + (mag >> 8)) >> 8;  // mag / 255, exact for 0 <= mag <= 65535
    return dc + ((q ^ sign) - sign);
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

// A print remembered: the tags of the tiles under its ink before and after,
// and the inked box as it came out. Panels are restored and the same texts
// printed on them tick after tick; when the tiles hold what they held then,
// the box comes out the same without blending a pixel, and the tiles take
// the same tags, so showing the panel again copies nothing.
struct Print {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // the inked box on the surface, clipped, inclusive
  std::vector<uint64_t> before, after;   // tile tags, row by row
  std::vector<Color> box;                // its pixels afterwards, row by row
};

Print& PrintFor(const Surface& s, const std::string& utf8, bool& known) {
  thread_local std::unordered_map<std::string, Print> cache;
  thread_local std::string key;
  const int32_t head[] = {s.attr.size, s.attr.bold, int32_t(s.attr.color & 0xffffff), s.curX, s.curY, s.W(), s.H()};
  key.assign(reinterpret_cast<const char*>(head), sizeof head);
  key += utf8;
  if (auto it = cache.find(key); it != cache.end()) {
    known = true;
    return it->second;
  }
  if (cache.size() > 2048) cache.clear();  // numbers change; keep it bounded
  known = false;
  return cache[key];
}

void Blended(Surface& s, const Mask& m, Color c) {
  Color bg = 0;
  const Color* table = nullptr;  // for the first background met
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

}  // namespace

void PrintText(Surface& s, const std::string& utf8) {
  if (utf8.empty()) return;
  if (drawSink) drawSink->Printed(s, utf8);
  bool known;
  Print& p = PrintFor(s, utf8, known);
  constexpr int T = Surface::kTile;
  if (known) {
    if (p.x0 > p.x1 || p.y0 > p.y1) return;  // nothing inked on the surface
    size_t k = 0;
    bool same = true;
    for (int ty = p.y0 / T; ty <= p.y1 / T && same; ++ty)
      for (int tx = p.x0 / T; tx <= p.x1 / T && same; ++tx) same = s.Tag(tx, ty) == p.before[k++];
    if (same) {
      const size_t w = size_t(p.x1 - p.x0 + 1);
      for (int y = p.y0; y <= p.y1; ++y)
        std::memcpy(s.RawRow(y) + p.x0, p.box.data() + size_t(y - p.y0) * w, w * sizeof(Color));
      k = 0;
      for (int ty = p.y0 / T; ty <= p.y1 / T; ++ty)
        for (int tx = p.x0 / T; tx <= p.x1 / T; ++tx) s.Retag(tx, ty, p.after[k++]);
      return;
    }
  }
  const Mask& m = MaskFor(s.attr.size, s.attr.bold, utf8);
  p.x0 = std::max(0, s.curX + m.x0);
  p.y0 = std::max(0, s.curY + m.y0);
  p.x1 = std::min(s.W() - 1, s.curX + m.x1);
  p.y1 = std::min(s.H() - 1, s.curY + m.y1);
  if (p.x0 > p.x1 || p.y0 > p.y1) return;
  const int tx0 = p.x0 / T, ty0 = p.y0 / T, tx1 = p.x1 / T, ty1 = p.y1 / T;
  p.before.resize(size_t(tx1 - tx0 + 1) * (ty1 - ty0 + 1));
  p.after.resize(p.before.size());
  size_t k = 0;
  for (int ty = ty0; ty <= ty1; ++ty)
    for (int tx = tx0; tx <= tx1; ++tx) p.before[k++] = s.Tag(tx, ty);
  s.MarkChanged(p.x0, p.y0, p.x1 - p.x0 + 1, p.y1 - p.y0 + 1);
  Blended(s, m, s.attr.color & 0xffffff);
  k = 0;
  for (int ty = ty0; ty <= ty1; ++ty)
    for (int tx = tx0; tx <= tx1; ++tx) p.after[k++] = s.Tag(tx, ty);
  const size_t w = size_t(p.x1 - p.x0 + 1);
  p.box.resize(w * size_t(p.y1 - p.y0 + 1));
  const Surface& done = s;
  for (int y = p.y0; y <= p.y1; ++y) std::memcpy(p.box.data() + size_t(y - p.y0) * w, done.Row(y) + p.x0, w * sizeof(Color));
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
