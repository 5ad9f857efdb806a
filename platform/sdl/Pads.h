// Game controllers through SDL's game controller support, opened as they are
// plugged in (also those there at start). The pad's left and right are the
// arrow keys (permit, refuse), up and down set the amount, A permits, B
// refuses, Start pauses and Back quits as Esc does.
#pragma once
#include <map>

#include "platform/kit/Comfort.h"

union SDL_Event;
struct _SDL_GameController;

namespace plat {

class Pads {
 public:
  Pads() = default;
  Pads(const Pads&) = delete;
  Pads& operator=(const Pads&) = delete;
  ~Pads() { Close(); }
  void Close();
  // For a pad's button or stick push: the game key it stands for (0: none) or
  // the platform's action, and true. Opens and closes pads as they come and
  // go; false for every other event.
  bool Translate(const SDL_Event& ev, int& key, Action& action);
  bool Any() const { return !open_.empty(); }

 private:
  struct Pad {
    _SDL_GameController* c = nullptr;
    int stickX = 0, stickY = 0;  // -1, 0, 1: where the left stick leans
  };
  std::map<int, Pad> open_;  // by joystick instance id
};

}  // namespace plat
