// The real platform: an SDL2 window of 800 x 600 showing surface 0 at (16, 12).
#pragma once
#include <deque>
#include <future>
#include <memory>
#include <vector>

#include "platform/Platform.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Surface;

namespace plat {

// The mixer-backed music and effects; silent (and saying so once on stderr)
// when there is no audio device, no SoundFont or no file.
std::unique_ptr<Audio> MakeSdlAudio(const std::string& programDir);

class SdlPlatform : public Platform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;
  bool Ok() const { return window_ != nullptr; }

  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
  void Present() override;
  bool PollEvent(Event& e) override;
  bool WaitEvent(int ms) override;
  Audio& Sound() override;
  std::string ProgramDir() override { return dir_; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override;
  // The next present draws the whole window, changed or not (after the
  // window was exposed, resized or drawn over).
  void RedrawAll() { redrawAll_ = true; }

 private:

  void TakeWindowEvents();
  bool Translate(const SDL_Event& ev, Event& e);
  std::deque<Event> ahead_;  // game events taken while waiting, oldest first
  int xfd_ = -1;             // the X connection, to sleep on while waiting
  SDL_Window* window_ = nullptr;
  SDL_Surface* frame_ = nullptr;  // the window's picture as last shown, 800 x 600
  bool redrawAll_ = true;
  int shownW_ = 0, shownH_ = 0;  // the window size the picture was last drawn for
  std::unique_ptr<Audio> audio_;
  std::future<void> picturesReady_;
  std::future<std::unique_ptr<Audio>> audioReady_;  // the device opens while the intro starts
  std::string dir_;
  uint64_t seed_ = 0;
};

}  // namespace plat
