// Placeholder pictures of the right sizes until the artwork is carried in.
#include "platform/Platform.h"

namespace plat {

std::unique_ptr<Pictures> LoadPictures() {
  auto p = std::make_unique<Pictures>();
  p->Chip = Surface(192, 192, Rgb(90, 110, 90));
  for (auto& f : p->Face) f = Surface(96, 96, Rgb(200, 180, 150));
  p->Rogo = Surface(64, 64, Rgb(255, 255, 255));
  for (auto& e : p->EndP) e = Surface(260, 337, Rgb(120, 160, 200));
  return p;
}

}  // namespace plat
