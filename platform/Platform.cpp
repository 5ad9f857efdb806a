#include "platform/Platform.h"

namespace plat {

Platform::Platform() : pics_(LoadPictures()) {
  for (auto& d : display_) d = Surface(kSurfW, kSurfH, 0);
}

}  // namespace plat
