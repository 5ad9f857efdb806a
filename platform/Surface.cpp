#include "platform/Surface.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>

namespace plat {

// Unique across threads without a lock per tag: each thread counts in its own range.
uint64_t Surface::FreshTag() {
  static std::atomic<uint64_t> threads{0};
  thread_local const uint64_t base = (threads.fetch_add(1) + 1) << 40;
  thread_local uint64_t n = 0;
  return base + ++n;
}

namespace {
// Whole tiles in fixed-length pieces the compiler copies inline; tile runs
// are short, so a library call a row would cost more than the copy.
void CopyRow(Color* d, const Color* s, int n) {
  int i = 0;
  for (; i + Surface::kTile <= n; i += Surface::kTile) std::memcpy(d + i, s + i, Surface::kTile * sizeof(Color));
  if (i < n) std::memcpy(d + i, s + i, size_t(n - i) * sizeof(Color));
}

// A part of a tile in tile coordinates, columns [x0, x1) and rows [y0, y1).
constexpr uint32_t Part(int x0, int y0, int x1, int y1) {
  return uint32_t(x0) | uint32_t(y0) << 5 | uint32_t(x1) << 10 | uint32_t(y1) << 15;
}
bool Within(uint32_t inner, uint32_t outer) {
  auto at = [](uint32_t p, int k) { return int(p >> (5 * k)) & 31; };
  return at(inner, 0) >= at(outer, 0) && at(inner, 1) >= at(outer, 1) && at(inner, 2) <= at(outer, 2) &&
         at(inner, 3) <= at(outer, 3);
}

uint64_t Mix(uint64_t a, uint64_t b, uint64_t c) {
  uint64_t h = (a ^ (b * 0x9E3779B97F4A7C15ull) ^ (c << 47)) * 0xC2B2AE3D27D4EB4Full;
  return h ^ (h >> 29);
}

// The tile content a tag was made from by a write within a part: copying over
// a part that covers the write makes the same of either. Both memories below
// are small and lossy: an entry lost only costs a copy.
struct Lineage {
  uint64_t tag = 0, from = 0;
  uint32_t part = 0;
};

// What a copy of part of one source tile made of a tile's content.
struct Made {
  uint64_t dst = 0, src = 0, tag = 0;
  uint32_t part = 0;
};

struct Memory {
  std::array<Lineage, 512> lineage;
  std::array<Made, 1024> made;
  Lineage& LineageOf(uint64_t tag) { return lineage[tag % lineage.size()]; }
  Made& MadeOf(uint64_t dst, uint64_t src, uint32_t part) { return made[Mix(dst, src, part) % made.size()]; }
};
Memory& Memo() {
  thread_local std::unique_ptr<Memory> m = std::make_unique<Memory>();
  return *m;
}
}  // namespace

void Surface::Rewritten(int tx, int ty, int x0, int y0, int x1, int y1) {
  uint64_t& tag = tags_[size_t(ty) * tw_ + tx];
  const uint64_t old = tag;
  tag = FreshTag();
  const int ox = tx * kTile, oy = ty * kTile;
  x0 = std::max(x0, ox) - ox, y0 = std::max(y0, oy) - oy;
  x1 = std::min(x1, std::min(w_, ox + kTile)) - ox, y1 = std::min(y1, std::min(h_, oy + kTile)) - oy;
  const bool whole = x0 == 0 && y0 == 0 && x1 == std::min(w_ - ox, kTile) && y1 == std::min(h_ - oy, kTile);
  if (whole || old == 0) return;  // 0: a tile not yet named
  Memo().LineageOf(tag) = {tag, old, Part(x0, y0, x1, y1)};
}

void Surface::MarkChanged(int x, int y, int w, int h) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0), x1 = std::min(x + w, w_) - 1, y1 = std::min(y + h, h_) - 1;
  if (x0 > x1 || y0 > y1) return;
  for (int ty = y0 / kTile; ty <= y1 / kTile; ++ty)
    for (int tx = x0 / kTile; tx <= x1 / kTile; ++tx) Rewritten(tx, ty, x0, y0, x1 + 1, y1 + 1);
}

// Panels are restored and shown through rectangles that cut tiles in part,
// over and over the same way, with text printed inside them in between;
// remembering what each partial copy made, of a tile as it was before the
// writes the copy covers, lets the next one find the tile holding it already.
uint64_t Surface::PartTag(uint64_t dst, uint64_t src, uint32_t part) {
  Memory& memo = Memo();
  for (const Lineage* l = &memo.LineageOf(dst); l->tag == dst && Within(l->part, part); l = &memo.LineageOf(dst))
    dst = l->from;
  if (const Made& m = memo.MadeOf(dst, src, part); m.dst == dst && m.src == src && m.part == part) return m.tag;
  const uint64_t tag = FreshTag();
  memo.MadeOf(dst, src, part) = {dst, src, tag, part};
  memo.MadeOf(tag, src, part) = {tag, src, tag, part};  // the same part copied again changes nothing
  return tag;
}

void Surface::Copy(int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  if (drawSink) drawSink->Copied(*this, dx, dy, w, h, src, sx, sy);
  // Clip against the source, then the destination, keeping both offsets aligned.
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min({w, src.w_ - sx, w_ - dx});
  h = std::min({h, src.h_ - sy, h_ - dy});
  if (w <= 0 || h <= 0) return;
  if (&src == this) {
    if (dy > sy) {
      for (int y = h - 1; y >= 0; --y)
        std::memmove(RawRow(dy + y) + dx, src.Row(sy + y) + sx, size_t(w) * sizeof(Color));
    } else {
      for (int y = 0; y < h; ++y)
        std::memmove(RawRow(dy + y) + dx, src.Row(sy + y) + sx, size_t(w) * sizeof(Color));
    }
    MarkChanged(dx, dy, w, h);
    return;
  }
  // When source and destination tiles line up, a tile takes the source tile's
  // tag (or the tag of the part copied) and is not copied at all when it
  // holds that already; otherwise it changes. Neighbouring tiles to copy are
  // copied together, row by row.
  const bool aligned = (sx - dx) % kTile == 0 && (sy - dy) % kTile == 0;
  const int tx0 = dx / kTile, tx1 = (dx + w - 1) / kTile;
  for (int ty = dy / kTile; ty <= (dy + h - 1) / kTile; ++ty) {
    const int ry0 = std::max(dy, ty * kTile), ry1 = std::min(dy + h, (ty + 1) * kTile);  // rows [ry0, ry1)
    const uint64_t* srcTags = aligned ? &src.tags_[size_t((ry0 + sy - dy) / kTile) * src.tw_] : nullptr;
    uint64_t* tags = &tags_[size_t(ty) * tw_];
    int run = -1;  // first tile of the run to copy
    for (int tx = tx0; tx <= tx1 + 1; ++tx) {
      bool copy = false;
      if (tx <= tx1) {
        const int rx0 = std::max(dx, tx * kTile), rx1 = std::min(dx + w, (tx + 1) * kTile);
        if (aligned) {
          uint64_t want;
          const uint64_t srcTag = srcTags[(rx0 + sx - dx) / kTile];
          if (rx1 - rx0 == kTile && ry1 - ry0 == kTile) want = srcTag;
          else want = PartTag(tags[tx], srcTag, Part(rx0 % kTile, ry0 % kTile, (rx1 - 1) % kTile + 1, (ry1 - 1) % kTile + 1));
          copy = tags[tx] != want;
          tags[tx] = want;
        } else {
          Rewritten(tx, ty, rx0, ry0, rx1, ry1);
          copy = true;
        }
      }
      if (copy && run < 0) run = tx;
      if (copy || run < 0) continue;
      const int x0 = std::max(dx, run * kTile), x1 = std::min(dx + w, tx * kTile);
      run = -1;
      for (int y = ry0; y < ry1; ++y) CopyRow(RawRow(y) + x0, src.Row(y + sy - dy) + x0 + sx - dx, x1 - x0);
    }
  }
}

void Surface::Box(int x1, int y1, int x2, int y2, Color c, bool filled) {
  if (drawSink) drawSink->Boxed(*this, x1, y1, x2, y2, c, filled);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (filled) {
    for (int y = std::max(y1, 0); y <= std::min(y2, h_ - 1); ++y)
      for (int x = std::max(x1, 0); x <= std::min(x2, w_ - 1); ++x) px_[size_t(y) * w_ + x] = c;
    MarkChanged(x1, y1, x2 - x1 + 1, y2 - y1 + 1);
    return;
  }
  for (int x = x1; x <= x2; ++x) { Set(x, y1, c); Set(x, y2, c); }
  for (int y = y1; y <= y2; ++y) { Set(x1, y, c); Set(x2, y, c); }
}

void Surface::Fill(Color c) {
  if (drawSink) drawSink->Filled(*this, c);
  std::fill(px_.begin(), px_.end(), c);
  MarkChanged(0, 0, w_, h_);
}

uint64_t Surface::Hash() const {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (Color c : px_) {
    for (int k = 0; k < 3; ++k) { h ^= (c >> (8 * k)) & 255; h *= 1099511628211ull; }
  }
  return h;
}

bool Surface::SavePng(const std::string& path) const {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w_, h_, 32, SDL_PIXELFORMAT_XRGB8888);
  if (!s) return false;
  for (int y = 0; y < h_; ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch, Row(y), size_t(w_) * 4);
  bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

}  // namespace plat
