#include "platform/SdlPlatform.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
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

// Where the 800 x 600 picture goes in a window of w x h: whole multiples when
// the window is at least twice as large (or exactly the size), else fitted
// with the aspect kept. scale is 0 for a fitted, not whole, multiple.
struct Placement {
  SDL_Rect dst;
  int scale;
};
Placement Place(int w, int h) {
  const int kW = Platform::kWinW, kH = Platform::kWinH;
  const double f = std::min(double(w) / kW, double(h) / kH);
  const int s = f >= 2 ? int(f) : (w == kW && h == kH ? 1 : 0);
  const int dw = s ? kW * s : int(std::lround(kW * f)), dh = s ? kH * s : int(std::lround(kH * f));
  return {{(w - dw) / 2, (h - dh) / 2, dw, dh}, s};
}

}  // namespace

SdlPlatform::SdlPlatform() {
  // The pictures decode while the window opens; the logo waits for them.
  picturesReady_ = std::async(std::launch::async, [] { SharedPictures(); });
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

  // The picture goes to the window's own framebuffer, which on X11 sends
  // only the changed rectangles to the server (shared memory when local).
  // SDL's default there is an OpenGL texture, which redraws the whole window
  // on every present: the software rasteriser's cost in a virtual display.
  if (const char* drv = SDL_GetCurrentVideoDriver(); drv && std::strcmp(drv, "x11") == 0)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  window_ = SDL_CreateWindow("有限会社☆ピコラ！", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWinW,
                             kWinH, SDL_WINDOW_RESIZABLE);
  if (!window_) {
    std::fprintf(stderr, "pikora: cannot open the window: %s\n", SDL_GetError());
    return;
  }
  SDL_SetWindowMinimumSize(window_, kWinW / 2, kWinH / 2);
  frame_ = SDL_CreateRGBSurfaceWithFormat(0, kWinW, kWinH, 32, SDL_PIXELFORMAT_XRGB8888);
  if (!frame_ || !SDL_GetWindowSurface(window_)) {
    std::fprintf(stderr, "pikora: cannot draw in the window: %s\n", SDL_GetError());
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  SDL_SetSurfaceBlendMode(frame_, SDL_BLENDMODE_NONE);
  SDL_FillRect(frame_, nullptr, 0);
  SDL_StopTextInput();
  NameWindowInUtf8(window_);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
    xfd_ = ConnectionNumber(info.info.x11.display);
  Present();
  // Opening the device and the synthesiser takes longer than the whole first
  // picture; the music is only asked for after the logo and title.
  audioReady_ = std::async(std::launch::async, [dir = dir_] { return MakeSdlAudio(dir); });
}

SdlPlatform::~SdlPlatform() {
  if (picturesReady_.valid()) picturesReady_.wait();
  if (audioReady_.valid()) audioReady_.wait();
  audio_.reset();
  if (audioReady_.valid()) audioReady_.get().reset();
  if (frame_) SDL_FreeSurface(frame_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

Audio& SdlPlatform::Sound() {
  if (!audio_) audio_ = audioReady_.valid() ? audioReady_.get() : MakeSdlAudio(dir_);
  return *audio_;
}

uint32_t SdlPlatform::Ticks() { return SDL_GetTicks(); }

void SdlPlatform::Sleep(uint32_t ms) {
  SDL_Delay(ms);
  TakeWindowEvents();
}

// Sends the window only what changed since the last present, found by
// comparing surface 0 with the picture last shown: the game redraws panels
// and chips that often come out the same, and nothing changed sends nothing.
void SdlPlatform::Present() {
  if (!window_) return;
  SDL_Surface* win = SDL_GetWindowSurface(window_);  // made anew after a resize
  if (!win) return;
  // Changed pixels, as one rectangle per band of rows.
  constexpr int kBand = 16;
  std::vector<SDL_Rect> rects;
  const Surface& s = display_[0];
  for (int y0 = 0; y0 < kSurfH; y0 += kBand) {
    int x0 = kSurfW, x1 = -1;
    const int y1 = std::min(y0 + kBand, kSurfH);
    for (int y = y0; y < y1; ++y) {
      const Color* a = s.Row(y);
      Color* b = reinterpret_cast<Color*>(static_cast<uint8_t*>(frame_->pixels) + size_t(kSurfY + y) * frame_->pitch) + kSurfX;
      if (std::memcmp(a, b, kSurfW * sizeof(Color)) == 0) continue;
      int l = 0, r = kSurfW - 1;
      while (a[l] == b[l]) ++l;
      while (a[r] == b[r]) --r;
      x0 = std::min(x0, l);
      x1 = std::max(x1, r);
      std::memcpy(b + l, a + l, size_t(r - l + 1) * sizeof(Color));
    }
    if (x1 < 0) continue;
    SDL_Rect band{kSurfX + x0, kSurfY + y0, x1 - x0 + 1, y1 - y0};
    if (!rects.empty() && rects.back().x == band.x && rects.back().w == band.w &&
        rects.back().y + rects.back().h == band.y)
      rects.back().h += band.h;
    else
      rects.push_back(band);
  }
  const Placement at = Place(win->w, win->h);
  if (redrawAll_ || win->w != shownW_ || win->h != shownH_ || (!rects.empty() && at.scale == 0)) {
    SDL_FillRect(win, nullptr, SDL_MapRGB(win->format, 0, 0, 0));
    SDL_Rect dst = at.dst;
    if (at.scale == 1) SDL_BlitSurface(frame_, nullptr, win, &dst);
    else SDL_BlitScaled(frame_, nullptr, win, &dst);
    redrawAll_ = SDL_UpdateWindowSurface(window_) != 0;
    shownW_ = win->w;
    shownH_ = win->h;
    return;
  }
  if (rects.empty()) return;
  for (SDL_Rect& r : rects) {
    SDL_Rect src = r;
    r = {at.dst.x + r.x * at.scale, at.dst.y + r.y * at.scale, r.w * at.scale, r.h * at.scale};
    SDL_Rect dst = r;
    if (at.scale == 1) SDL_BlitSurface(frame_, &src, win, &dst);
    else SDL_BlitScaled(frame_, &src, win, &dst);
  }
  redrawAll_ = SDL_UpdateWindowSurfaceRects(window_, rects.data(), int(rects.size())) != 0;
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
  if (redraw) {
    RedrawAll();
    Present();
  }
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
      RedrawAll();
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
