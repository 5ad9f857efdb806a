// The web page's side of the SDL backend: SDL draws on the page's canvas and
// hears the browser's keys; the program has the page's one thread, and every
// wait inside the game yields to the browser (ASYNCIFY turns SDL_Delay into a
// sleep the page goes on through).
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>

#include "platform/sdl/Machine.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SampledAudio.h"

namespace plat {
namespace {

// The page shows the message in its own words; the console keeps it too.
EM_JS(void, TellPage, (const char* msg), {
  const text = UTF8ToString(msg);
  if (typeof Module.pikoraFatal === 'function') Module.pikoraFatal(text);
  else console.error(text);
});

// A copy of the canvas for the page to show once the game has ended: its
// final score and funds stay in sight beside the end message.
EM_JS(void, KeepLastPicture, (), {
  const canvas = Module.canvas;
  if (!canvas || !canvas.width || typeof Module.pikoraLastPicture !== 'function') return;
  const copy = document.createElement('canvas');
  copy.width = canvas.width;
  copy.height = canvas.height;
  copy.getContext('2d').drawImage(canvas, 0, 0);
  Module.pikoraLastPicture(copy);
});

}  // namespace

// The page's canvas is always there.
std::string NoDisplay() { return ""; }

// No synthesiser, no thread: the tune made at build time.
std::unique_ptr<SdlAudio> MakeSdlAudio(const std::string&) { return MakeSampledAudio(); }

namespace machine {

const bool kThreads = false;

// Neither resizable nor fullscreen: the page sizes the canvas around the
// picture (SDL would otherwise size it to the browser window).
uint32_t WindowFlags(bool) { return 0; }

// The page sizes the canvas around the picture.
void FitWindow(int&, int&) {}

int Opened(SDL_Window*) { return -1; }

// SDL gives the page's title the caption.
void Renamed(SDL_Window*) {}

void Closing(SDL_Window*) { KeepLastPicture(); }

// Keys reach SDL while the page sleeps; they are seen within 10 ms.
void Nap(int, int ms) { SDL_Delay(uint32_t(std::clamp(ms, 1, 10))); }

void ShowFatal(SDL_Window*, const std::string&, const std::string& msg) { TellPage(msg.c_str()); }

}  // namespace machine
}  // namespace plat
