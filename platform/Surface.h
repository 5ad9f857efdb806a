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

// Told of every drawing call when set; the headless twin uses it to write a
// trace of what the game draws. Null in the real game.
class DrawSink {
 public:
  virtual ~DrawSink() = default;
  virtual void Copied(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) = 0;
  virtual void Boxed(const Surface& dst, int x1, int y1, int x2, int y2, Color c, bool filled) = 0;
  virtual void Filled(const Surface& dst, Color c) = 0;
  virtual void Printed(const Surface& dst, const std::string& utf8) = 0;  // in dst's attr, at its position
};
inline DrawSink* drawSink = nullptr;

// Every 16 x 16 tile carries a tag naming its content: two tiles with the
// same tag hold the same pixels. A copy onto a tile that already holds the
// source tile is skipped, which spares most of the panel and pen copies the
// game repeats every tick; any other write gives the tile a fresh tag.
class Surface {
 public:
  static constexpr int kTile = 16;

  Surface() = default;
  Surface(int w, int h, Color fill = 0)
      : w_(w), h_(h), tw_((w + kTile - 1) / kTile), px_(size_t(w) * h, fill), tags_(size_t(tw_) * ((h + kTile - 1) / kTile)) {
    MarkChanged(0, 0, w, h);
  }

  int W() const { return w_; }
  int H() const { return h_; }
  Color At(int x, int y) const { return px_[size_t(y) * w_ + x]; }
  void Set(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) {
      px_[size_t(y) * w_ + x] = c;
      tags_[size_t(y / kTile) * tw_ + x / kTile] = FreshTag();
    }
  }
  // A row to write: its tiles count as changed.
  Color* Row(int y) {
    MarkChanged(0, y, w_, 1);
    return px_.data() + size_t(y) * w_;
  }
  const Color* Row(int y) const { return px_.data() + size_t(y) * w_; }
  // For writers that mark what they change themselves (MarkChanged).
  Color* RawRow(int y) { return px_.data() + size_t(y) * w_; }
  // Gives the tiles under the rectangle (clipped) fresh tags.
  void MarkChanged(int x, int y, int w, int h);
  // The tag of tile (tx, ty), and setting it back to one it held before: only
  // for a writer that has just put there exactly the pixels the tag names.
  uint64_t Tag(int tx, int ty) const { return tags_[size_t(ty) * tw_ + tx]; }
  void Retag(int tx, int ty, uint64_t tag) { tags_[size_t(ty) * tw_ + tx] = tag; }
  const std::vector<Color>& Pixels() const { return px_; }

  // Plain rectangle copy from src (sx, sy) to (dx, dy), clipped to both.
  void Copy(int dx, int dy, int w, int h, const Surface& src, int sx, int sy);
  // Box from (x1, y1) to (x2, y2), both corners included.
  void Box(int x1, int y1, int x2, int y2, Color c, bool filled);
  void Fill(Color c);
  // Hash of the pixels, for determinism checks.
  uint64_t Hash() const;
  // Writes the buffer as a PNG; false when it could not be written.
  bool SavePng(const std::string& path) const;

  TextAttr attr;  // persists until set again
  int curX = 0, curY = 0;

 private:
  static uint64_t FreshTag();
  // The tag of a tile once part of one source tile is copied onto it.
  static uint64_t PartTag(uint64_t dst, uint64_t src, uint32_t part);
  // Tile (tx, ty) written within columns [x0, x1) and rows [y0, y1): a fresh tag.
  void Rewritten(int tx, int ty, int x0, int y0, int x1, int y1);
  int w_ = 0, h_ = 0, tw_ = 0;
  std::vector<Color> px_;
  std::vector<uint64_t> tags_;
};

}  // namespace plat
