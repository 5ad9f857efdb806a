#include "platform/SdlPlatform.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace plat {
namespace {

// A held key repeats, and every repeat is a press of its own (SDL_KEYDOWN
// with the repeat flag is not filtered out).
int VirtualKey(const SDL_Keysym& k) {
  // The keypad's arrows, whatever Num Lock says and however the layout names them.
  switch (k.scancode) {
    case SDL_SCANCODE_KP_4: return kKeyLeft;
    case SDL_SCANCODE_KP_8: return kKeyUp;
    case SDL_SCANCODE_KP_6: return kKeyRight;
    case SDL_SCANCODE_KP_2: return kKeyDown;
    default: break;
  }
  switch (k.sym) {
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_LEFT: case SDLK_KP_4: return kKeyLeft;
    case SDLK_UP: case SDLK_KP_8: return kKeyUp;
    case SDLK_RIGHT: case SDLK_KP_6: return kKeyRight;
    case SDLK_DOWN: case SDLK_KP_2: return kKeyDown;
    case SDLK_RETURN: return 13;
    case SDLK_SPACE: return 32;
    default: break;
  }
  if (k.sym >= SDLK_a && k.sym <= SDLK_z) return 'A' + (k.sym - SDLK_a);
  if (k.sym >= SDLK_0 && k.sym <= SDLK_9) return '0' + (k.sym - SDLK_0);
  return 255;  // a key the game has no meaning for
}

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

SdlPlatform::SdlPlatform() {
  seed_ = uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
  // A fixed seed replays the same game, so measurements of two builds compare.
  if (const char* s = std::getenv("PIKORA_SEED"); s && *s) seed_ = std::strtoull(s, nullptr, 10);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "pikora: cannot start the video system: %s\n", SDL_GetError());
    return;
  }
  if (char* base = SDL_GetBasePath()) {
    dir_ = base;
    SDL_free(base);
  }
  if (dir_.empty()) dir_ = "./";
  if (dir_.back() != '/') dir_ += '/';

  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  window_ = SDL_CreateWindow("有限会社☆ピコラ！", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWinW,
                             kWinH, SDL_WINDOW_RESIZABLE);
  if (!window_) {
    std::fprintf(stderr, "pikora: cannot open the window: %s\n", SDL_GetError());
    return;
  }
  SDL_SetWindowMinimumSize(window_, kWinW / 2, kWinH / 2);
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    std::fprintf(stderr, "pikora: cannot draw in the window: %s\n", SDL_GetError());
    return;
  }
  SDL_RenderSetLogicalSize(renderer_, kWinW, kWinH);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kSurfW, kSurfH);
  SDL_StopTextInput();
  audio_ = MakeSdlAudio(dir_);
  NameWindowInUtf8(window_);  // after the renderer, which may make the window anew
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
    xfd_ = ConnectionNumber(info.info.x11.display);
  Present();
}

SdlPlatform::~SdlPlatform() {
  audio_.reset();
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

uint32_t SdlPlatform::Ticks() { return SDL_GetTicks(); }

void SdlPlatform::Sleep(uint32_t ms) {
  SDL_Delay(ms);
  TakeWindowEvents();
}

void SdlPlatform::Present() {
  if (!renderer_) return;
  // Whole multiples scale sharply; smaller windows just fit, aspect kept.
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  SDL_RenderSetIntegerScale(renderer_, (w >= 2 * kWinW && h >= 2 * kWinH) ? SDL_TRUE : SDL_FALSE);
  const Surface& s = display_[0];
  SDL_UpdateTexture(texture_, nullptr, s.Row(0), s.W() * 4);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_Rect dst{kSurfX, kSurfY, kSurfW, kSurfH};
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  SDL_RenderPresent(renderer_);
}

// Window-system events are no game events: taking them keeps the window
// responsive during waits while keys and clicks stay queued in order.
void SdlPlatform::TakeWindowEvents() {
  SDL_PumpEvents();
  SDL_Event ev[16];
  bool redraw = false;
  int n;
  while ((n = SDL_PeepEvents(ev, 16, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT)) > 0) redraw = true;
  // Text input and motion would only crowd the queue.
  SDL_FlushEvents(SDL_TEXTEDITING, SDL_TEXTINPUT);
  SDL_FlushEvent(SDL_MOUSEMOTION);
  if (redraw) Present();
}

// Turns an SDL event into a game event; false for the others, which are
// dealt with here (a window event redraws).
bool SdlPlatform::Translate(const SDL_Event& ev, Event& e) {
  switch (ev.type) {
    case SDL_QUIT:
      e = Event{Event::Close, 0, 0, 0};
      return true;
    case SDL_KEYDOWN:
      e = Event{Event::KeyDown, VirtualKey(ev.key.keysym), 0, 0};
      return true;
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button != SDL_BUTTON_LEFT) return false;
      e = Event{Event::Click, 0, ev.button.x, ev.button.y};
      return true;
    case SDL_WINDOWEVENT:
      Present();
      return false;
    default:
      return false;
  }
}

bool SdlPlatform::PollEvent(Event& e) {
  if (!ahead_.empty()) {
    e = ahead_.front();
    ahead_.pop_front();
    return true;
  }
  TakeWindowEvents();
  SDL_Event ev;
  while (SDL_PollEvent(&ev))
    if (Translate(ev, e)) return true;
  return false;
}

// Sleeps until a game event comes or the time is up. SDL's own timed wait
// polls every millisecond here, which kept the processor busy; instead the
// wait sleeps on the X connection (or in 10 ms slices elsewhere). The event
// found is kept for PollEvent, so the order stays.
bool SdlPlatform::WaitEvent(int ms) {
  const uint32_t start = SDL_GetTicks();
  for (;;) {
    if (!ahead_.empty()) return true;
    SDL_PumpEvents();
    SDL_Event ev;
    while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
      Event e;
      if (Translate(ev, e)) {
        ahead_.push_back(e);
        return true;
      }
    }
    const int64_t elapsed = uint32_t(SDL_GetTicks() - start);
    if (ms >= 0 && elapsed >= ms) return true;
    const int slice = ms < 0 ? 1000 : int(ms - elapsed);
    if (xfd_ >= 0) {
      pollfd p{xfd_, POLLIN, 0};
      poll(&p, 1, slice);
    } else {
      SDL_Delay(uint32_t(std::min(slice, 10)));
    }
  }
}

void SdlPlatform::ShowFatal(const std::string& msg) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "有限会社☆ピコラ！", msg.c_str(), window_);
}

}  // namespace plat
