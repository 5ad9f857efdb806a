#include "platform/Platform.h"

#include <algorithm>

namespace plat {

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
      if (tape_->Let(e)) {
        // A change of language carries the one chosen, for the tape.
        if (e.type == Event::Language) e.key = int(language_);
        return Took(e);
      }
    uint32_t hold = 0;
    if (tape_->Next(point_, Ticks() - readyAt_, e, hold)) {
      // One from the tape brings its language along (one not carried here
      // leaves the language as it is; the game's course is the same).
      if (e.type == Event::Language && e.key >= 0 && size_t(e.key) < CarriedLanguages().Count())
        SetLanguage(size_t(e.key));
      return Took(e);
    }
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
