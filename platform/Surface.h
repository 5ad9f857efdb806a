// A plain 32-bit pixel buffer: the drawing surfaces and the pictures the game
// carries are all of this kind, so every copy is an ordinary memory copy and
// tests can read the very pixels the player would see.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Colours are 0xRRGGBB.
using Color = uint32_t;
constexpr Color Rgb(int r, int g, int b) {
  return (Color(r & 255) << 16) | (Color(g & 255) << 8) | Color(b & 255);
}

struct TextAttr {
  int size = 9;  // points at 96 dpi
  bool bold = false;
  Color color = 0;
};

class Surface;

// Told of every drawing call on the surface it is given to; the headless
// twin's tracer uses it to write down what the game draws.
class DrawSink {
 public:
  virtual ~DrawSink() = default;
  virtual void Copied(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) = 0;
  virtual void Boxed(const Surface& dst, int x1, int y1, int x2, int y2, Color c, bool filled) = 0;
  virtual void Filled(const Surface& dst, Color c) = 0;
  virtual void Printed(const Surface& dst, const std::string& utf8) = 0;  // in dst's attr, at its position
};

class Surface {
 public:
  Surface() = default;
  Surface(int w, int h, Color fill = 0) : w_(w), h_(h), px_(size_t(w) * h, fill) {}
  // A copy holds the pixels and the text state, not the sink: a picture
  // made from a surface is not the surface being watched.
  Surface(const Surface& o) : attr(o.attr), curX(o.curX), curY(o.curY), w_(o.w_), h_(o.h_), px_(o.px_) {}
  Surface& operator=(const Surface& o) {
    attr = o.attr, curX = o.curX, curY = o.curY, w_ = o.w_, h_ = o.h_, px_ = o.px_;
    return *this;
  }

  int W() const { return w_; }
  int H() const { return h_; }
  Color At(int x, int y) const { return px_[size_t(y) * w_ + x]; }
  void Set(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[size_t(y) * w_ + x] = c;
  }
  Color* Row(int y) { return px_.data() + size_t(y) * w_; }
  const Color* Row(int y) const { return px_.data() + size_t(y) * w_; }
  const std::vector<Color>& Pixels() const { return px_; }

  // Plain rectangle copy from src (sx, sy) to (dx, dy), clipped to both.
  void Copy(int dx, int dy, int w, int h, const Surface& src, int sx, int sy);
  // Box from (x1, y1) to (x2, y2), both corners included.
  void Box(int x1, int y1, int x2, int y2, Color c, bool filled);
  void Fill(Color c);

  TextAttr attr;  // persists until set again
  int curX = 0, curY = 0;
  DrawSink* sink = nullptr;  // told of every drawing call on this surface

 private:
  int w_ = 0, h_ = 0;
  std::vector<Color> px_;
};

}  // namespace plat
