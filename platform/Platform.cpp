#include "platform/Platform.h"

namespace plat {

std::shared_ptr<const Pictures> SharedPictures() {
  static const std::shared_ptr<const Pictures> pics = LoadPictures();
  return pics;
}

Platform::Platform() {
  for (auto& d : display_) d = Surface(kSurfW, kSurfH, 0);
}

bool Platform::TakeInput(Event& e) {
  if (!tape_) return PollEvent(e);
  while (PollEvent(e))
    if (tape_->Let(e)) {
      tape_->Taken(point_, e);
      return true;
    }
  if (!tape_->Next(point_, e)) return false;
  tape_->Taken(point_, e);
  return true;
}

}  // namespace plat
