#include "platform/blind/Blind.h"

namespace plat {

Blind::Blind(uint64_t seed) : Platform(NoPixels{}), seed_(seed) {}

// Pictures without pixels: nothing to decode, nothing to copy.
std::shared_ptr<const PictureSet> Blind::Decode(PictureTable table) const {
  return std::make_shared<const PictureSet>(table.size());
}

bool Blind::WaitEvent(int ms) {
  if (ms < 0) return false;
  now_ += uint32_t(ms);
  return true;
}

}  // namespace plat
