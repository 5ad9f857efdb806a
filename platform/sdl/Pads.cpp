#include "platform/sdl/Pads.h"

#include <SDL.h>

namespace plat {
namespace {

// A stick counts as pushed past this much, and as back once under half of it,
// so a trembling thumb does not press twice.
constexpr int kPush = 20000, kBack = 10000;

int Lean(int was, int value) {
  if (value <= -kPush) return -1;
  if (value >= kPush) return 1;
  if (value > -kBack && value < kBack) return 0;
  return was;
}

}  // namespace

void Pads::Close() {
  for (auto& [id, p] : open_) SDL_GameControllerClose(p.c);
  open_.clear();
}

bool Pads::Translate(const SDL_Event& ev, int& key, Action& action) {
  key = 0;
  action = Action::Nothing;
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* c = SDL_GameControllerOpen(ev.cdevice.which)) {
        const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
        if (open_.count(id)) SDL_GameControllerClose(c);  // opened twice: keep one
        else open_[id] = Pad{c};
      }
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (auto it = open_.find(ev.cdevice.which); it != open_.end()) {
        SDL_GameControllerClose(it->second.c);
        open_.erase(it);
      }
      return false;
    case SDL_CONTROLLERBUTTONDOWN:
      switch (ev.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: case SDL_CONTROLLER_BUTTON_A: key = kKeyLeft; break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: case SDL_CONTROLLER_BUTTON_B: key = kKeyRight; break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: key = kKeyUp; break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: key = kKeyDown; break;
        case SDL_CONTROLLER_BUTTON_BACK: key = kKeyEscape; break;
        case SDL_CONTROLLER_BUTTON_START: action = Action::Pause; break;
        default: return false;
      }
      return true;
    case SDL_CONTROLLERAXISMOTION: {
      auto it = open_.find(ev.caxis.which);
      if (it == open_.end()) return false;
      const bool x = ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX;
      if (!x && ev.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
      int& lean = x ? it->second.stickX : it->second.stickY;
      const int was = lean;
      lean = Lean(was, ev.caxis.value);
      if (lean == was || lean == 0) return false;
      key = x ? (lean < 0 ? kKeyLeft : kKeyRight) : (lean < 0 ? kKeyUp : kKeyDown);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace plat
