// The real platform: an SDL2 window of 800 x 600 showing surface 0 at (16, 12).
#pragma once
#include <deque>
#include <memory>

#include "platform/Platform.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace plat {

// The mixer-backed music and effects; silent (and saying so once on stderr)
// when there is no audio device, no SoundFont or no file.
std::unique_ptr<Audio> MakeSdlAudio(const std::string& programDir);

class SdlPlatform : public Platform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;
  bool Ok() const { return renderer_ != nullptr; }

  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
  void Present() override;
  bool PollEvent(Event& e) override;
  bool WaitEvent(int ms) override;
  Audio& Sound() override { return *audio_; }
  std::string ProgramDir() override { return dir_; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override;

 private:
  void TakeWindowEvents();
  bool Translate(const SDL_Event& ev, Event& e);
  std::deque<Event> ahead_;  // game events taken while waiting, oldest first
  int xfd_ = -1;             // the X connection, to sleep on while waiting
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::unique_ptr<Audio> audio_;
  std::string dir_;
  uint64_t seed_ = 0;
};

}  // namespace plat
