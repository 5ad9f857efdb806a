#include "platform/Surface.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace plat {

// Unique across threads without a lock per tag: each thread counts in its own range.
uint64_t Surface::FreshTag() {
  static std::atomic<uint64_t> threads{0};
  thread_local const uint64_t base = (threads.fetch_add(1) + 1) << 40;
  thread_local uint64_t n = 0;
  return base + ++n;
}

void Surface::MarkChanged(int x, int y, int w, int h) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0), x1 = std::min(x + w, w_) - 1, y1 = std::min(y + h, h_) - 1;
  if (x0 > x1 || y0 > y1) return;
  for (int ty = y0 / kTile; ty <= y1 / kTile; ++ty)
    for (int tx = x0 / kTile; tx <= x1 / kTile; ++tx) tags_[size_t(ty) * tw_ + tx] = FreshTag();
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
  // Whole tiles that meet whole source tiles take the source's tag, and
  // are not copied at all when they hold it already; the rest is copied
  // row by row and changes.
  const bool aligned = (sx - dx) % kTile == 0 && (sy - dy) % kTile == 0;
  for (int ty = dy / kTile; ty <= (dy + h - 1) / kTile; ++ty) {
    const int ry0 = std::max(dy, ty * kTile), ry1 = std::min(dy + h, (ty + 1) * kTile);  // rows [ry0, ry1)
    const bool fullRows = ry1 - ry0 == kTile;
    for (int tx = dx / kTile; tx <= (dx + w - 1) / kTile; ++tx) {
      const int rx0 = std::max(dx, tx * kTile), rx1 = std::min(dx + w, (tx + 1) * kTile);
      uint64_t& tag = tags_[size_t(ty) * tw_ + tx];
      if (aligned && fullRows && rx1 - rx0 == kTile) {
        const uint64_t srcTag = src.tags_[size_t((ry0 + sy - dy) / kTile) * src.tw_ + (rx0 + sx - dx) / kTile];
        if (tag == srcTag) continue;
        tag = srcTag;
        for (int y = ry0; y < ry1; ++y)  // a fixed length the compiler copies inline
          std::memcpy(RawRow(y) + rx0, src.Row(y + sy - dy) + rx0 + sx - dx, kTile * sizeof(Color));
        continue;
      }
      tag = FreshTag();
      for (int y = ry0; y < ry1; ++y)
        std::memcpy(RawRow(y) + rx0, src.Row(y + sy - dy) + rx0 + sx - dx, size_t(rx1 - rx0) * sizeof(Color));
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
