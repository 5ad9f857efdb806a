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
    case SDLK_RETURN: case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_SPACE: return 32;
    case SDLK_F11: return kKeyF11;
    case SDLK_MINUS: return kKeyMinus;
    case SDLK_KP_MINUS: return kKeyPadMinus;
    case SDLK_KP_PLUS: return kKeyPadPlus;
    case SDLK_EQUALS: case SDLK_PLUS: return kKeyPlus;
    case SDLK_SEMICOLON:  // where a Japanese keyboard has its +
      return (k.mod & KMOD_SHIFT) ? kKeyPlus : 255;
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

// Where no window can be shown, SDL falls back to drawing off screen and the
// game would run unseen with its music playing. A driver asked for by name
// (the tests ask for the dummy one) is taken as meant.
bool NoDisplay() {
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (asked && *asked) return false;
  const char* x = SDL_getenv("DISPLAY");
  const char* wl = SDL_getenv("WAYLAND_DISPLAY");
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool none = (!x || !*x) && (!wl || !*wl);
  if (!none && !(driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)))
    return false;
  std::fprintf(stderr,
               "pikora: there is no display to open the window on (%s); start the game in a desktop "
               "session, or over ssh with X forwarding (ssh -X)\n",
               none ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "DISPLAY / WAYLAND_DISPLAY cannot be reached");
  return true;
}

SdlPlatform::SdlPlatform(const Options& options) {
  seed_ = options.seed ? *options.seed : uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
  if (NoDisplay()) return;
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "pikora: cannot start the video system: %s\n", SDL_GetError());
    return;
  }
  if (NoDisplay()) return;
  if (char* base = SDL_GetBasePath()) {
    dir_ = base;
    SDL_free(base);
  }
  if (dir_.empty()) dir_ = "./";
  if (dir_.back() != '/') dir_ += '/';

  settingsPath_ = SettingsPath();
  std::string why;
  if (LoadSettings(settingsPath_, kept_, why) != SettingsRead::Good)
    std::fprintf(stderr, "pikora: %s; using the default settings\n", why.c_str());
  const bool fullscreen = options.fullscreen.value_or(kept_.fullscreen);
  winW_ = kept_.width;
  winH_ = kept_.height;

  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  window_ = SDL_CreateWindow("有限会社☆ピコラ！", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, winW_,
                             winH_, SDL_WINDOW_RESIZABLE | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
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
  comfort_.Start(kept_.volume, options.mute || kept_.mute, fullscreen);
  NameWindowInUtf8(window_);  // after the renderer, which may make the window anew
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
    xfd_ = ConnectionNumber(info.info.x11.display);
  Present();
}

SdlPlatform::~SdlPlatform() {
  // A window resized by the player is kept for the next start.
  if (window_ && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) {
    SDL_GetWindowSize(window_, &winW_, &winH_);
    if (winW_ != kept_.width || winH_ != kept_.height) Keep();
  }
  pads_.Close();  // before SDL lets go of them
  audio_.reset();
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

uint32_t SdlPlatform::Ticks() { return SDL_GetTicks() - comfort_.Lost(); }

void SdlPlatform::Sleep(uint32_t ms) {
  SDL_Delay(ms);
  Pump();
}

void SdlPlatform::Present() {
  if (!renderer_) return;
  // Whole multiples scale sharply; smaller windows just fit, aspect kept.
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  SDL_RenderSetIntegerScale(renderer_, (w >= 2 * kWinW && h >= 2 * kWinH) ? SDL_TRUE : SDL_FALSE);
  // The pause and the volume are drawn over a copy: the game's picture stays.
  shown_ = comfort_.View(SDL_GetTicks());
  if (shown_ != OverlayView{}) DrawOverlay(display_[0], shown_, composed_);
  const Surface& s = shown_ == OverlayView{} ? display_[0] : composed_;
  SDL_UpdateTexture(texture_, nullptr, s.Row(0), s.W() * 4);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_Rect dst{kSurfX, kSurfY, kSurfW, kSurfH};
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  SDL_RenderPresent(renderer_);
}

// Takes everything waiting: the platform's own keys and the window's events
// act at once, game events wait in ahead_ in their order. While paused the
// game stands still in here.
void SdlPlatform::Pump() {
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) Intake(ev);
  while (comfort_.Paused()) {
    if (comfort_.View(SDL_GetTicks()) != shown_) Present();
    Nap(1000);
    while (SDL_PollEvent(&ev)) Intake(ev);
  }
  if (comfort_.View(SDL_GetTicks()) != shown_) Present();
}

void SdlPlatform::Intake(const SDL_Event& ev) {
  const uint32_t now = SDL_GetTicks();
  Event e;
  Action a = Action::Nothing;
  switch (ev.type) {
    case SDL_QUIT:
      e = Event{Event::Close, 0, 0, 0};
      break;
    case SDL_KEYDOWN:
      e = Event{Event::KeyDown, VirtualKey(ev.key.keysym), 0, 0};
      a = KeyAction(e.key, (ev.key.keysym.mod & KMOD_ALT) != 0);
      // A held P, M or F11 would flicker between on and off.
      if (ev.key.repeat && a != Action::Nothing && a != Action::VolumeDown && a != Action::VolumeUp) return;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (ev.button.button != SDL_BUTTON_LEFT) return;
      e = Event{Event::Click, 0, ev.button.x, ev.button.y};
      break;
    case SDL_WINDOWEVENT:
      // Hiding the game in the task bar pauses it until it comes back.
      if (ev.window.event == SDL_WINDOWEVENT_MINIMIZED) comfort_.Minimised(now);
      else if (ev.window.event == SDL_WINDOWEVENT_RESTORED) comfort_.Restored(now);
      Present();
      return;
    default:
      if (!pads_.Translate(ev, e.key, a)) return;
      break;
  }
  if (comfort_.Take(e, a, now)) ahead_.push_back(e);
}

// Sleeps on the X connection (or in 10 ms slices elsewhere), at most ms, less
// while the volume band shows; a pad is read by polling, so more often then.
void SdlPlatform::Nap(int ms) {
  const int64_t band = comfort_.BandDueIn(SDL_GetTicks());
  if (band >= 0) ms = int(std::min<int64_t>(ms, band + 1));
  if (pads_.Any()) ms = std::min(ms, 16);
  if (xfd_ >= 0) {
    pollfd p{xfd_, POLLIN, 0};
    poll(&p, 1, ms);
  } else {
    SDL_Delay(uint32_t(std::min(ms, 10)));
  }
}

bool SdlPlatform::PollEvent(Event& e) {
  if (ahead_.empty()) Pump();
  if (ahead_.empty()) return false;
  e = ahead_.front();
  ahead_.pop_front();
  return true;
}

// Sleeps until a game event comes or the game's time is up. SDL's own timed
// wait polls every millisecond here, which kept the processor busy.
bool SdlPlatform::WaitEvent(int ms) {
  const uint32_t start = Ticks();
  for (;;) {
    Pump();
    if (!ahead_.empty()) return true;
    const int64_t elapsed = uint32_t(Ticks() - start);
    if (ms >= 0 && elapsed >= ms) return true;
    Nap(ms < 0 ? 1000 : int(ms - elapsed));
  }
}

void SdlPlatform::ShowFullscreen(bool on) {
  if (!window_) return;
  if (on && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) SDL_GetWindowSize(window_, &winW_, &winH_);
  SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  Present();
}

void SdlPlatform::HoldSound(bool held) {
  if (auto* c = dynamic_cast<SoundControl*>(audio_.get())) c->Hold(held);
}

void SdlPlatform::SetVolume(int tenths) {
  if (auto* c = dynamic_cast<SoundControl*>(audio_.get())) c->Volume(tenths);
}

// Only what the player changed is written: a --mute stays for this game.
void SdlPlatform::Changed(bool sound) {
  if (sound) {
    kept_.volume = comfort_.Volume();
    kept_.mute = comfort_.Muted();
  } else {
    kept_.fullscreen = comfort_.Fullscreen();
  }
  Keep();
}

void SdlPlatform::Keep() {
  kept_.width = winW_;
  kept_.height = winH_;
  std::string why;
  if (!SaveSettings(settingsPath_, kept_, why)) std::fprintf(stderr, "pikora: the settings are not kept: %s\n", why.c_str());
}

void SdlPlatform::ShowFatal(const std::string& msg) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "有限会社☆ピコラ！", msg.c_str(), window_);
}

}  // namespace plat
