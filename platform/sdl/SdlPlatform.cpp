#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/Files.h"
#include "platform/Terminal.h"
#include "platform/kit/Pictures.h"
#include "platform/kit/Text.h"
#include "platform/sdl/Machine.h"

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
    case SDLK_END: return kKeyEnd;
    case SDLK_LEFT: case SDLK_KP_4: return kKeyLeft;
    case SDLK_UP: case SDLK_KP_8: return kKeyUp;
    case SDLK_RIGHT: case SDLK_KP_6: return kKeyRight;
    case SDLK_DOWN: case SDLK_KP_2: return kKeyDown;
    case SDLK_RETURN: case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_SPACE: return 32;
    case SDLK_F11: return kKeyF11;
    case SDLK_F12: return kKeyF12;
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

// Where the 800 x 600 picture goes in a window of w x h: whole multiples when
// the window is at least twice as large (or exactly the size), else fitted
// with the aspect kept; in fullscreen whole multiples wherever one fits, black
// around. scale is 0 for a fitted, not whole, multiple.
struct Placement {
  SDL_Rect dst;
  int scale;
};
Placement Place(int w, int h, bool fullscreen) {
  const int kW = Platform::kWinW, kH = Platform::kWinH;
  const double f = std::min(double(w) / kW, double(h) / kH);
  const int s = (f >= 2 || (fullscreen && f >= 1)) ? int(f) : (w == kW && h == kH ? 1 : 0);
  const int dw = s ? kW * s : int(std::lround(kW * f)), dh = s ? kH * s : int(std::lround(kH * f));
  return {{(w - dw) / 2, (h - dh) / 2, dw, dh}, s};
}

}  // namespace

void machine::FitToScreen(int& w, int& h) {
  SDL_Rect usable{0, 0, 0, 0};
  SDL_GetDisplayUsableBounds(0, &usable);
  w = std::max(Platform::kWinW / 2, usable.w > 0 ? std::min(w, usable.w) : w);
  h = std::max(Platform::kWinH / 2, usable.h > 0 ? std::min(h, usable.h) : h);
}

SdlPlatform::SdlPlatform(const SdlStart& start, Keeper& keeper)
    : keeper_(keeper), kept_(start.lasting), caption_(start.caption), pictures_(start.pictures) {
  language_ = start.language < CarriedLanguages().Count() ? start.language : 0;
  Carry(start.carried);
  seed_ = start.seed ? *start.seed : uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0)
    throw StartFailure(std::string("cannot start the video system: ") + SDL_GetError());
  // The environment was asked before (main); SDL may still have fallen back
  // to drawing off screen.
  if (std::string why = NoDisplay(); !why.empty()) throw StartFailure(why);
  if (char* base = SDL_GetBasePath()) {
    dir_ = base;
    SDL_free(base);
  }
  if (dir_.empty()) dir_ = "./";
  if (dir_.back() != '/') dir_ += '/';

  winW_ = kept_.width;
  winH_ = kept_.height;
  machine::FitWindow(winW_, winH_);
  const bool fullscreen = start.fullscreen.value_or(kept_.fullscreen);
  // The picture goes to the window's own framebuffer, which on X11 sends
  // only the changed rectangles to the server (shared memory when local).
  // SDL's default there is an OpenGL texture, which redraws the whole window
  // on every present: the software rasteriser's cost in a virtual display.
  if (const char* drv = SDL_GetCurrentVideoDriver(); drv && std::strcmp(drv, "x11") == 0)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  window_ = SDL_CreateWindow(std::string(Words().Get("title", caption_)).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, winW_, winH_,
                             machine::WindowFlags(fullscreen));
  if (!window_) throw StartFailure(std::string("cannot open the window: ") + SDL_GetError());
  SDL_SetWindowMinimumSize(window_, kWinW / 2, kWinH / 2);
  frame_ = SDL_CreateRGBSurfaceWithFormat(0, kWinW, kWinH, 32, SDL_PIXELFORMAT_XRGB8888);
  if (!frame_ || !SDL_GetWindowSurface(window_)) {
    const std::string why = std::string("cannot draw in the window: ") + SDL_GetError();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    throw StartFailure(why);
  }
  SDL_SetSurfaceBlendMode(frame_, SDL_BLENDMODE_NONE);
  SDL_FillRect(frame_, nullptr, 0);
  SDL_StopTextInput();
  comfort_.Start(kept_.volume, start.muted || kept_.mute, fullscreen);
  clock_.Start(SDL_GetTicks());
  napOn_ = machine::Opened(window_);
  Present();
  // Opening the device and the synthesiser takes longer than the whole first
  // picture; the music is only asked for after the logo and title.
  if (machine::kThreads) audioReady_ = std::async(std::launch::async, [dir = dir_] { return MakeSdlAudio(dir); });
}

SdlPlatform::~SdlPlatform() {
  // A window resized by the player is kept for the next start.
  if (window_ && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) {
    const int madeW = winW_, madeH = winH_;
    SDL_GetWindowSize(window_, &winW_, &winH_);
    if (winW_ != madeW || winH_ != madeH) Keep();
  }
  pads_.Close();  // before SDL lets go of them
  if (picturesReady_.valid()) picturesReady_.wait();
  if (audioReady_.valid()) audioReady_.wait();
  audio_.reset();
  if (audioReady_.valid()) audioReady_.get().reset();
  if (frame_) SDL_FreeSurface(frame_);
  if (window_) {
    machine::Closing(window_);
    SDL_DestroyWindow(window_);
  }
  SDL_Quit();
}

// The pause and the volume reach the device once it is open.
Audio& SdlPlatform::Sound() {
  if (Quiet()) return held_;
  if (!audio_) {
    audio_ = audioReady_.valid() ? audioReady_.get() : MakeSdlAudio(dir_);
    SetVolume(comfort_.Muted() ? 0 : comfort_.Volume());
    HoldSound(comfort_.Paused());
  }
  return *audio_;
}

uint32_t SdlPlatform::Ticks() { return clock_.Now(SDL_GetTicks() - comfort_.Lost(), Speed(), Quiet()); }

// Sleeps on the window's events, so a close ends the wait at once; game
// events that come meanwhile wait for afterwards. Catching up or hurrying
// to the close, no time passes.
void SdlPlatform::Sleep(uint32_t ms) {
  if (Quiet()) return clock_.Advance(ms);
  const uint32_t start = Ticks();
  for (;;) {
    Pump();
    const uint32_t elapsed = Ticks() - start;
    if (elapsed >= ms) return;
    if (hurry_) return clock_.Advance(ms - elapsed);
    const int speed = std::max(Speed(), 1);
    Nap(int((ms - elapsed + uint32_t(speed) - 1) / uint32_t(speed)));
  }
}

// The picture and the music as the game left them; the intro's offer is
// over, whatever game this was.
void SdlPlatform::CatchingUp() { caughtFrom_ = SDL_GetTicks(); }

void SdlPlatform::CaughtUp() {
  std::fprintf(stderr, "pikora: caught up at point %llu in %u ms\n", static_cast<unsigned long long>(Point()),
               SDL_GetTicks() - caughtFrom_);
  RedrawAll();
  Present();
  held_.Release(Sound());
  held_ = HeldAudio{};
}

void SdlPlatform::Continue() {
  continue_ = true;
  closing_ = hurry_ = true;
}

void SdlPlatform::Again(uint64_t seed) {
  Platform::Again();
  seed_ = seed;
  closing_ = continue_ = hurry_ = false;
  held_ = HeldAudio{};
  ahead_.clear();
  comfort_.Withdraw();
}

// Sends the window only what changed since the last present, found by
// comparing surface 0 (or it with the overlay) with the picture last shown:
// the game redraws panels and chips that often come out the same, and nothing
// changed sends nothing.
void SdlPlatform::Present() {
  if (!window_ || Quiet()) return;
  SDL_Surface* win = SDL_GetWindowSurface(window_);  // made anew after a resize
  if (!win) return;
  // The pause and the volume are drawn over a copy: the game's picture stays.
  // The offer of a kept game lasts the intro (its one fire).
  if (comfort_.Proposing() && Point() >= 2) comfort_.Withdraw();
  comfort_.Speed(Speed(), SDL_GetTicks());
  shown_ = comfort_.View(SDL_GetTicks());
  if (shown_ != OverlayView{}) DrawOverlay(display_[0], shown_, composed_);
  const Surface& s = shown_ == OverlayView{} ? display_[0] : composed_;
  // Changed pixels, as one rectangle per band of rows.
  constexpr int kBand = 16;
  std::vector<SDL_Rect> rects;
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
  const Placement at = Place(win->w, win->h, comfort_.Fullscreen());
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

// Takes everything waiting: the platform's own keys and the window's events
// act at once, game events wait in ahead_ in their order. While paused the
// game stands still in here.
void SdlPlatform::Pump() {
  comfort_.Speed(Speed(), SDL_GetTicks());
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) Intake(ev);
  while (comfort_.Paused() && !closing_) {
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
    case SDL_QUIT:  // the close button, or SIGTERM or SIGINT through SDL: before any game event
      closing_ = hurry_ = true;
      return;
    case SDL_KEYDOWN:
      e = Event{Event::KeyDown, VirtualKey(ev.key.keysym), 0, 0};
      a = KeyAction(e.key, (ev.key.keysym.mod & KMOD_ALT) != 0);
      // A held P, M or F11 would flicker between on and off.
      if (ev.key.repeat && a != Action::Nothing && a != Action::VolumeDown && a != Action::VolumeUp) return;
      break;
    case SDL_MOUSEBUTTONDOWN: {
      if (ev.button.button != SDL_BUTTON_LEFT) return;
      // From the window to the picture, however large the window is; a
      // click beside the picture is on nothing of the game's.
      SDL_Surface* win = SDL_GetWindowSurface(window_);
      if (!win) return;
      const SDL_Rect at = Place(win->w, win->h, comfort_.Fullscreen()).dst;
      const SDL_Point p{ev.button.x, ev.button.y};
      if (!SDL_PointInRect(&p, &at)) return;
      e = Event{Event::Click, 0, (p.x - at.x) * kWinW / at.w, (p.y - at.y) * kWinH / at.h};
      break;
    }
    case SDL_WINDOWEVENT:
      // Hiding the game in the task bar pauses it until it comes back.
      if (ev.window.event == SDL_WINDOWEVENT_MINIMIZED) comfort_.Minimised(now);
      else if (ev.window.event == SDL_WINDOWEVENT_RESTORED) comfort_.Restored(now);
      RedrawAll();
      Present();
      return;
    default:
      if (!pads_.Translate(ev, e.key, a)) return;
      break;
  }
  if (comfort_.Take(e, a, now)) ahead_.push_back(e);
}

// Sleeps at most ms, waking for input where the system can tell; less while
// the volume band shows, and a pad is read by polling, so more often then.
void SdlPlatform::Nap(int ms) {
  const int64_t band = comfort_.BandDueIn(SDL_GetTicks());
  if (band >= 0) ms = int(std::min<int64_t>(ms, band + 1));
  if (pads_.Any()) ms = std::min(ms, 16);
  machine::Nap(napOn_, ms);
}

// Catching up, the player's input waits for the game to be live.
bool SdlPlatform::PollEvent(Event& e) {
  if (Behind()) return false;
  if (ahead_.empty()) Pump();
  if (closing_) {
    // The game quits from here: its quiet end is heard as it goes.
    hurry_ = false;
    held_ = HeldAudio{};
    e = Event{Event::Close, 0, 0, 0};
    return true;
  }
  if (ahead_.empty()) return false;
  e = ahead_.front();
  ahead_.pop_front();
  return true;
}

// Sleeps until a game event comes or the game's time is up. SDL's own timed
// wait polls every millisecond here, which kept the processor busy.
bool SdlPlatform::WaitEvent(int ms) {
  if (Behind()) {
    if (ms >= 0) return clock_.Advance(uint32_t(ms)), true;
    Stuck();
  }
  const uint32_t start = Ticks();
  for (;;) {
    Pump();
    if (!ahead_.empty() || closing_) return true;
    const int64_t elapsed = uint32_t(Ticks() - start);
    if (ms >= 0 && elapsed >= ms) return true;
    Nap(ms < 0 ? 1000 : int((ms - elapsed + Speed()) / std::max(Speed(), 1)));
  }
}

void SdlPlatform::ShowFullscreen(bool on) {
  if (!window_) return;
  if (on && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) SDL_GetWindowSize(window_, &winW_, &winH_);
  SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  RedrawAll();
  Present();
}

void SdlPlatform::HoldSound(bool held) {
  if (audio_) audio_->Hold(held);
}

void SdlPlatform::SetVolume(int tenths) {
  if (audio_) audio_->Volume(tenths);
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

// The game's picture as the 800 x 600 window holds it, without what the
// platform draws over it, into the pictures folder, named by the time.
std::optional<std::string> SdlPlatform::Shoot() {
  std::string why;
  std::error_code ec;
  if (pictures_.empty()) {
    why = "no pictures folder is known (neither XDG_PICTURES_DIR nor HOME is set)";
  } else if (std::filesystem::create_directories(FsPath(pictures_), ec); ec) {
    why = "cannot make the folder " + Shown(pictures_) + ": " + ec.message();
  } else {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    Surface picture(kWinW, kWinH, 0);
    picture.Copy(kSurfX, kSurfY, kSurfW, kSurfH, display_[0], 0, 0);
    const std::vector<uint8_t> png = PngBytes(picture);
    why = png.empty() ? std::string("cannot make the PNG: ") + SDL_GetError() : "every name of this second is taken";
    // A name nothing lies at, not even a dangling link or a pipe: the
    // picture is renamed into place only if the name is still free then.
    for (int n = 1; n < 100 && !png.empty(); ++n) {
      const std::string name = std::string("pikora-") + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".png";
      const std::string path = pictures_ + "/" + name;
      if (std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), ec))) continue;
      const FileWritten w = WriteWholeFile(path, png, false);
      if (w.ok) {
        std::printf("pikora: the picture is saved as %s\n", Shown(path).c_str());
        std::fflush(stdout);
        return name;
      }
      if (w.exists) continue;
      why = "cannot write " + Shown(path) + ": " + w.why;
      break;
    }
  }
  std::fprintf(stderr, "pikora: the picture is not saved: %s\n", why.c_str());
  return "";
}

// The player's choice is kept for the next game.
void SdlPlatform::ChooseLanguage(size_t i) {
  SetLanguage(i);
  kept_.language = CarriedLanguages()[language_].code;
  Keep();
}

// The words change at once, the pause screen's first (the overlay is drawn
// from the language at each present); the caption too. A replayed change
// comes here as well, without being kept.
void SdlPlatform::Spoken() { Caption(); }

// The pictures decode while the window opens; the logo waits for them.
void SdlPlatform::Carried() {
  if (machine::kThreads) picturesReady_ = std::async(std::launch::async, [t = Table()] { return SharedPictures(t); });
}

std::shared_ptr<const PictureSet> SdlPlatform::Decode(PictureTable table) const {
  if (picturesReady_.valid()) return picturesReady_.get();
  return SharedPictures(table);
}

void SdlPlatform::Print(Surface& s, const std::string& utf8) { PrintText(s, utf8); }

void SdlPlatform::Retell() { ahead_.push_back(Event{Event::Language, 0, 0, 0}); }

void SdlPlatform::Caption() {
  if (!window_) return;
  SDL_SetWindowTitle(window_, std::string(Words().Get("title", caption_)).c_str());
  machine::Renamed(window_);
}

void SdlPlatform::Keep() {
  kept_.width = winW_;
  kept_.height = winH_;
  keeper_.Keep(kept_);
}

void SdlPlatform::ShowFatal(const std::string& msg) {
  machine::ShowFatal(window_, std::string(Words().Get("title", caption_)), msg);
}

}  // namespace plat
