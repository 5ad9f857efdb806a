// Text through SDL_ttf with the Japanese gothic font carried in the program.
// Sizes are points at 96 dpi, as the window's drawing surfaces measured them.
#include <SDL.h>
#include <SDL_ttf.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Embedded.h"
#include "platform/Font.h"
#include "platform/Platform.h"

namespace plat {

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

namespace {

// The coverage of a rendered text over its inked box, kept because panels
// print the same few labels over and over; a whole headless game stays fast.
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
  // SDL_ttf renders in ARGB already; converting would only copy it.
  SDL_Surface* a = !g || g->format->format == SDL_PIXELFORMAT_ARGB8888 ? nullptr : SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0);
  if (const SDL_Surface* in = a ? a : g) {
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
  }
  if (a) SDL_FreeSurface(a);
  if (g) SDL_FreeSurface(g);
}

// The panels print a new number nearly every tick. The font sets digits one
// after another at their advances, with no kerning between them, so a number
// after a blank is put together from each digit's own ink after a blank,
// overlapping ink combined as SDL_ttf combines it (a bitwise or); this spares
// shaping and rasterising every new number.
struct Digits {
  bool ok = false;
  int advance[10] = {};
  Mask glyph[10];  // the ink of " d"
};

const Digits& DigitsFor(int size, bool bold) {
  static std::map<std::pair<int, bool>, Digits> cache;
  auto [it, fresh] = cache.try_emplace(std::make_pair(size, bold));
  Digits& d = it->second;
  if (!fresh) return d;
  Mask zero, pair;
  Rendered(zero, size, bold, " 0");
  d.ok = zero.x1 >= 0;
  for (int k = 0; k <= 9 && d.ok; ++k) {
    const std::string digit(1, char('0' + k));
    Rendered(d.glyph[k], size, bold, " " + digit);
    Rendered(pair, size, bold, " " + digit + "0");
    d.advance[k] = pair.x1 - zero.x1;  // the 0 after it inks furthest right
    d.ok = d.glyph[k].x1 >= 0 && d.advance[k] > 0;
  }
  return d;
}

// " " and up to 18 digits: every number the panels show.
bool IsNumber(const std::string& s) {
  if (s.size() < 2 || s.size() > 19 || s[0] != ' ') return false;
  return std::all_of(s.begin() + 1, s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void Composed(Mask& m, const Digits& d, const std::string& number) {
  m.x0 = INT32_MAX, m.y0 = INT32_MAX, m.x1 = -1, m.y1 = -1;
  for (size_t i = 1, pen = 0; i < number.size(); pen += size_t(d.advance[number[i++] - '0'])) {
    const Mask& g = d.glyph[number[i] - '0'];
    m.x0 = std::min(m.x0, int(pen) + g.x0), m.x1 = std::max(m.x1, int(pen) + g.x1);
    m.y0 = std::min(m.y0, g.y0), m.y1 = std::max(m.y1, g.y1);
  }
  m.alpha.assign(size_t(m.W()) * (m.y1 - m.y0 + 1), 0);
  for (size_t i = 1, pen = 0; i < number.size(); pen += size_t(d.advance[number[i++] - '0'])) {
    const Mask& g = d.glyph[number[i] - '0'];
    for (int y = g.y0; y <= g.y1; ++y) {
      uint8_t* row = m.alpha.data() + size_t(y - m.y0) * m.W() + (int(pen) + g.x0 - m.x0);
      const uint8_t* ink = g.alpha.data() + size_t(y - g.y0) * g.W();
      int x = 0;
      for (; x + 8 <= g.W(); x += 8) {  // eight bytes at a time; GCC at -O2 leaves the loop bytewise
        uint64_t a, b;
        std::memcpy(&a, row + x, 8);
        std::memcpy(&b, ink + x, 8);
        a |= b;
        std::memcpy(row + x, &a, 8);
      }
      for (; x < g.W(); ++x) row[x] |= ink[x];
    }
  }
}

const Mask& MaskFor(int size, bool bold, const std::string& utf8) {
  if (IsNumber(utf8)) {
    // Each number is printed twice in a row, its shadow then itself.
    struct Slot {
      int size = 0;
      bool bold = false;
      std::string text;
      Mask mask;
    };
    thread_local std::array<Slot, 16> slots;
    Slot& slot = slots[std::hash<std::string>{}(utf8) % slots.size()];
    if (slot.size == size && slot.bold == bold && slot.text == utf8) return slot.mask;
    if (const Digits& d = DigitsFor(size, bold); d.ok) {
      Composed(slot.mask, d, utf8);
      slot.size = size, slot.bold = bold, slot.text = utf8;
      return slot.mask;
    }
  }
  static std::unordered_map<std::string, Mask> cache;
  thread_local std::string key;
  key.assign({char(size & 255), char(size >> 8), char(bold)});
  key += utf8;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (cache.size() > 8192) cache.clear();  // keep it bounded
  Mask& m = cache[key];
  Rendered(m, size, bold, utf8);
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

// Blends c over a row at coverages al; uncovered pixels stay as they are.
void BlendRow(Color* row, const uint8_t* al, int n, Color c) {
  int i = 0;
#ifdef __SSE2__
  // Four pixels at a time, each channel in 16 bits, by the same arithmetic:
  // |c - d| * al stays below 65536, so the division and its rounding carry over.
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1), rgb = _mm_set1_epi32(0xffffff);
  const __m128i cc = _mm_unpacklo_epi8(_mm_set1_epi32(int(c)), zero);
  auto mix = [&](__m128i dc, __m128i a) {
    const __m128i down = _mm_cmpgt_epi16(dc, cc);
    const __m128i mag = _mm_mullo_epi16(_mm_sub_epi16(_mm_max_epi16(cc, dc), _mm_min_epi16(cc, dc)), a);
    const __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(mag, one), _mm_srli_epi16(mag, 8)), 8);
    return _mm_add_epi16(dc, _mm_sub_epi16(_mm_xor_si128(q, down), down));
  };
  for (; i + 4 <= n; i += 4) {
    uint32_t a4;
    std::memcpy(&a4, al + i, 4);
    if (a4 == 0) continue;
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    __m128i a = _mm_cvtsi32_si128(int(a4));
    a = _mm_unpacklo_epi8(a, a);
    a = _mm_unpacklo_epi16(a, a);  // each pixel's coverage in its four bytes
    const __m128i mixed = _mm_and_si128(
        _mm_packus_epi16(mix(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(a, zero)),
                         mix(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(a, zero))),
        rgb);
    const __m128i bare = _mm_cmpeq_epi32(a, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_or_si128(_mm_and_si128(bare, d), _mm_andnot_si128(bare, mixed)));
  }
#endif
  for (; i < n; ++i)
    if (al[i]) row[i] = Blend(row[i], c, al[i]);
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

// One print a slot by the hash of what and where: a print that lands in a
// taken slot pushes the older one out and reuses its buffers, so the new
// numbers printed tick after tick cost no allocation.
Print& PrintFor(const Surface& s, const std::string& utf8, bool& known) {
  struct Slot {
    std::array<int32_t, 7> head{};
    std::string text;
    Print print;
  };
  thread_local std::vector<Slot> slots(1024);
  const std::array<int32_t, 7> head{s.attr.size, s.attr.bold, int32_t(s.attr.color & 0xffffff), s.curX, s.curY, s.W(), s.H()};
  size_t h = std::hash<std::string>{}(utf8);
  for (int32_t v : head) h = (h ^ uint32_t(v)) * 0x100000001B3ull;
  Slot& slot = slots[h % slots.size()];
  known = slot.head == head && slot.text == utf8;
  if (!known) slot.head = head, slot.text = utf8;
  return slot.print;
}

void Blended(Surface& s, const Mask& m, Color c) {
  const int x0 = std::max(m.x0, -s.curX), x1 = std::min(m.x1, s.W() - 1 - s.curX);
  const int y0 = std::max(m.y0, -s.curY), y1 = std::min(m.y1, s.H() - 1 - s.curY);
  for (int y = y0; y <= y1; ++y)
    BlendRow(s.RawRow(s.curY + y) + s.curX + x0, m.alpha.data() + size_t(y - m.y0) * m.W() + (x0 - m.x0), x1 - x0 + 1, c);
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
