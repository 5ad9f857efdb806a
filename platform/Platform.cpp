#include "platform/Platform.h"

namespace plat {

std::shared_ptr<const Pictures> SharedPictures() {
  static const std::shared_ptr<const Pictures> pics = LoadPictures();
  return pics;
}

Platform::Platform() {
  for (auto& d : display_) d = Surface(kSurfW, kSurfH, 0);
}

}  // namespace plat
