#include "platform/headless/Tracer.h"

#include <cstdio>

#include "platform/headless/Headless.h"

namespace plat {

Tracer::Tracer(Headless& hp) : hp_(hp) {
  for (int i = 0; i <= 2; ++i) hp.Display(i).sink = this;
  hp.audio.tracer = this;
  hp.audio.dir = hp.dir;
}
Tracer::~Tracer() {
  for (int i = 0; i <= 2; ++i)
    if (hp_.Display(i).sink == this) hp_.Display(i).sink = nullptr;
  hp_.audio.tracer = nullptr;
}

void Tracer::Add(const std::string& what) { lines.push_back(std::to_string(hp_.Ticks()) + " " + what); }

std::string Tracer::Digest(const std::string& text) {
  uint32_t h = 2166136261u;
  for (char ch : text) h = (h ^ uint8_t(ch)) * 16777619u;
  char digest[16];
  std::snprintf(digest, sizeof digest, "%08x", h);
  return digest;
}

// A digest of the calls, one line each.
void Tracer::Shown() {
  std::string all;
  for (const std::string& c : calls_) all += c + "\n";
  if (lines.size() == keep) kept += all;
  Add("show " + std::to_string(calls_.size()) + " " + Digest(all));
  calls_.clear();
}

void Tracer::Call(const std::string& c) { calls_.push_back(c); }

namespace {
std::string At(int x, int y) { return " " + std::to_string(x) + "," + std::to_string(y); }
std::string Hex(Color c) {
  char b[8];
  std::snprintf(b, sizeof b, " %06x", unsigned(c & 0xFFFFFF));
  return b;
}
}  // namespace

void Tracer::Copied(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
  Call("copy " + hp_.NameOf(dst) + At(dx, dy) + " " + std::to_string(w) + "x" + std::to_string(h) + " from " +
       hp_.NameOf(src) + At(sx, sy));
}
void Tracer::Boxed(const Surface& dst, int x1, int y1, int x2, int y2, Color c, bool filled) {
  Call(std::string(filled ? "block " : "box ") + hp_.NameOf(dst) + At(x1, y1) + At(x2, y2) + Hex(c));
}
void Tracer::Filled(const Surface& dst, Color c) { Call("fill " + hp_.NameOf(dst) + Hex(c)); }
void Tracer::Printed(const Surface& dst, const std::string& utf8) {
  Call("text " + hp_.NameOf(dst) + At(dst.curX, dst.curY) + " " + std::to_string(dst.attr.size) +
       (dst.attr.bold ? "b" : "") + Hex(dst.attr.color) + " " + utf8);
}

}  // namespace plat
