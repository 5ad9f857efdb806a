#include "platform/Surface.h"

#include <algorithm>
#include <cstring>

namespace plat {

void Surface::Copy(int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  if (sink) sink->Copied(*this, dx, dy, w, h, src, sx, sy);
  // Clip against the source, then the destination, keeping both offsets aligned.
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min({w, src.w_ - sx, w_ - dx});
  h = std::min({h, src.h_ - sy, h_ - dy});
  if (w <= 0 || h <= 0) return;
  // A copy within one surface may overlap itself: rows go in the order that
  // reads each source row before it is written.
  const bool up = &src == this && dy > sy;
  for (int k = 0; k < h; ++k) {
    const int y = up ? h - 1 - k : k;
    std::memmove(Row(dy + y) + dx, src.Row(sy + y) + sx, size_t(w) * sizeof(Color));
  }
}

void Surface::Box(int x1, int y1, int x2, int y2, Color c, bool filled) {
  if (sink) sink->Boxed(*this, x1, y1, x2, y2, c, filled);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (filled) {
    for (int y = std::max(y1, 0); y <= std::min(y2, h_ - 1); ++y)
      for (int x = std::max(x1, 0); x <= std::min(x2, w_ - 1); ++x) px_[size_t(y) * w_ + x] = c;
    return;
  }
  for (int x = x1; x <= x2; ++x) { Set(x, y1, c); Set(x, y2, c); }
  for (int y = y1; y <= y2; ++y) { Set(x1, y, c); Set(x2, y, c); }
}

void Surface::Fill(Color c) {
  if (sink) sink->Filled(*this, c);
  std::fill(px_.begin(), px_.end(), c);
}

}  // namespace plat
