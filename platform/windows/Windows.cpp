// The Windows side of the SDL backend: a window the player sizes, threads,
// the tune made into samples at build time (no synthesiser in the program),
// and waits that wake on the window's messages.
#include <SDL.h>
#include <windows.h>

#include <algorithm>

#include "platform/sdl/Machine.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SampledAudio.h"

namespace plat {

// A Windows session always has its desktop to show the window on.
std::string NoDisplay() { return ""; }

// The program carries the tune as samples made at build time (bg/bg1.ogg
// beside bg/bg1.mid), as the page does: no SoundFont, no FluidSynth.
std::unique_ptr<SdlAudio> MakeSdlAudio(const std::string&) { return MakeSampledAudio(); }

namespace machine {

const bool kThreads = true;

void FitWindow(int& w, int& h) { FitToScreen(w, h); }

uint32_t WindowFlags(bool fullscreen) {
  return SDL_WINDOW_RESIZABLE | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

// SDL gives Windows the caption in UTF-16 itself.
int Opened(SDL_Window*) { return 0; }
void Renamed(SDL_Window*) {}

// A closed window is gone with its picture.
void Closing(SDL_Window*) {}

// Sleeps until the thread's queue holds a message (a key, the mouse, a
// repaint) or ms pass; SDL reads the message at the next poll.
void Nap(int, int ms) {
  MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::max(ms, 0)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void ShowFatal(SDL_Window* window, const std::string& caption, const std::string& msg) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), msg.c_str(), window);
}

}  // namespace machine
}  // namespace plat
