// The desktop's side of the SDL backend: an X11 or Wayland session, threads,
// a window the player sizes.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>

#include "platform/sdl/Machine.h"
#include "platform/sdl/SdlPlatform.h"

namespace plat {
namespace {

// SDL writes the old WM_NAME title in the locale's encoding, which garbles
// the Japanese caption under the C locale; window lists and tools that read
// WM_NAME then cannot find the game. Give it the UTF-8 caption too.
void NameWindowInUtf8(SDL_Window* w) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* d = info.info.x11.display;
  const char* title = SDL_GetWindowTitle(w);
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  XChangeProperty(d, info.info.x11.window, XA_WM_NAME, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), int(SDL_strlen(title)));
  XFlush(d);
}

}  // namespace

// Where no window can be shown, SDL falls back to drawing off screen and the
// game would run unseen with its music playing. A driver asked for by name
// (the tests ask for the dummy one) is taken as meant.
std::string NoDisplay() {
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (asked && *asked) return "";
  const char* x = SDL_getenv("DISPLAY");
  const char* wl = SDL_getenv("WAYLAND_DISPLAY");
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool none = (!x || !*x) && (!wl || !*wl);
  if (!none && !(driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)))
    return "";
  return std::string("there is no display to open the window on (") +
         (none ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "DISPLAY / WAYLAND_DISPLAY cannot be reached") +
         "); start the game in a desktop session, or over ssh with X forwarding (ssh -X)";
}

namespace machine {

const bool kThreads = true;

void FitWindow(int& w, int& h) { FitToScreen(w, h); }

uint32_t WindowFlags(bool fullscreen) {
  return SDL_WINDOW_RESIZABLE | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

// On X11 the caption in UTF-8, and the connection to sleep on while waiting.
int Opened(SDL_Window* window) {
  NameWindowInUtf8(window);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return ConnectionNumber(info.info.x11.display);
  return -1;
}

void Renamed(SDL_Window* window) { NameWindowInUtf8(window); }

// A closed window is gone with its picture.
void Closing(SDL_Window*) {}

// Sleeps on the X connection, or in 10 ms slices elsewhere.
void Nap(int handle, int ms) {
  if (handle >= 0) {
    pollfd p{handle, POLLIN, 0};
    poll(&p, 1, ms);
  } else {
    SDL_Delay(uint32_t(std::min(ms, 10)));
  }
}

void ShowFatal(SDL_Window* window, const std::string& caption, const std::string& msg) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), msg.c_str(), window);
}

}  // namespace machine
}  // namespace plat
