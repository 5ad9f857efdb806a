// The test tracer of the headless twin.
#pragma once
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace plat {

class Headless;

// A compact account of what the game asks of the twin, one line per happening
// with the virtual time: "<ms> <what>". Sounds and scripted events as they
// come; "show <calls> <digest>" for each present, a digest of the drawing
// calls since the one before; callers add lines of their own. Drawing calls
// are recorded, not pixels, so a newer rasteriser or font leaves it unchanged.
class Tracer : public DrawSink {
 public:
  explicit Tracer(Headless& hp);  // listens to the twin's surfaces and sounds until destroyed
  ~Tracer() override;
  void Add(const std::string& what);
  void Shown();
  // FNV-1a of a text, as eight hex digits.
  static std::string Digest(const std::string& text);

  void Copied(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) override;
  void Boxed(const Surface& dst, int x1, int y1, int x2, int y2, Color c, bool filled) override;
  void Filled(const Surface& dst, Color c) override;
  void Printed(const Surface& dst, const std::string& utf8) override;

  std::vector<std::string> lines;
  // The drawing calls behind line `keep`, written out one per line.
  size_t keep = size_t(-1);
  std::string kept;

 private:
  void Call(const std::string& c);
  Headless& hp_;
  std::vector<std::string> calls_;
};

}  // namespace plat
