#include "platform/Platform.h"

#include <algorithm>

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
  if (handled_) {
    readyAt_ = Ticks();
    handled_ = false;
  }
  for (;;) {
    while (PollEvent(e))
      if (tape_->Let(e)) return Took(e);
    uint32_t hold = 0;
    if (tape_->Next(point_, Ticks() - readyAt_, e, hold)) return Took(e);
    if (hold == 0) return false;
    // The platform's own keys and the player's quitting still come meanwhile.
    Sleep(std::min<uint32_t>(hold, 50));
  }
}

bool Platform::Took(const Event& e) {
  tape_->Taken(point_, Ticks() - readyAt_, e);
  handled_ = true;
  return true;
}

}  // namespace plat
