// The blind twin: a game on a virtual clock with nothing to see or hear. Its
// surfaces and pictures have no pixels, so every drawing call clips to
// nothing, and its sound does nothing; the game's procedures run unchanged.
// Its only input is a tape. It checks replays in the game itself and plays
// the strategy lab's games.
#pragma once
#include <string>

#include "platform/Platform.h"

namespace plat {

class Blind : public Platform {
 public:
  explicit Blind(uint64_t seed);

  uint32_t Ticks() override { return now_; }
  void Sleep(uint32_t ms) override { now_ += ms; }
  void Present() override {}
  bool PollEvent(Event&) override { return false; }  // no player
  // Waiting costs nothing; with nothing timed nothing can ever happen.
  bool WaitEvent(int ms) override;
  Audio& Sound() override { return silence_; }
  std::string ProgramDir() override { return "/"; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override { fatal = msg; }
  void Print(Surface&, const std::string&) override {}

  std::shared_ptr<const PictureSet> Decode(PictureTable table) const override;

  std::string fatal;

 private:
  class Silence : public Audio {
   public:
    void MusicOpen(const std::string&) override {}
    void MusicPlay() override {}
    void MusicStop() override {}
    void MusicRewind() override {}
    void MusicClose() override {}
    std::string MusicMode() override { return ""; }
    void Effect(const std::string&) override {}
    void EffectSilence() override {}
  };
  Silence silence_;
  uint32_t now_ = 0;
  uint64_t seed_;
};

}  // namespace plat
