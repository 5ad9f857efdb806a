// What a backend needs to catch a game up with its tape and to run it at a
// replay's speed: a game clock that follows the machine's at a speed or
// stands virtual, and a sound that is held (remembered, not heard) meanwhile.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace plat {

// The game's clock. Each reading takes the machine's time (less the time
// paused): live, the game's clock moves by what the machine's moved since
// the last reading, times the speed; virtual, it moves only by Advance, so
// a wait costs nothing. Going live again carries on from where it stands.
class GameClock {
 public:
  uint32_t Now(uint32_t machine, int speed, bool virtualTime) {
    if (!virtualTime) now_ += (machine - at_) * uint32_t(speed < 1 ? 1 : speed);
    at_ = machine;
    return now_;
  }
  void Advance(uint32_t ms) { now_ += ms; }
  // Starts at the machine's time: the clock reads as the machine's until
  // anything else happens.
  void Start(uint32_t machine) { now_ = at_ = machine; }

 private:
  uint32_t now_ = 0, at_ = 0;
};

// Sound held while the game catches up: the music's state is kept (the piece
// open, playing or not) and effects are dropped; Release sounds the music as
// the game left it. Live, everything goes to the real sound at once.
class HeldAudio : public Audio {
 public:
  void MusicOpen(const std::string& path) override { path_ = path, playing_ = false; }
  void MusicPlay() override { playing_ = !path_.empty(); }
  void MusicStop() override { playing_ = false; }
  void MusicRewind() override { playing_ = false; }
  void MusicClose() override { path_.clear(), playing_ = false; }
  std::string MusicMode() override { return path_.empty() ? "" : playing_ ? "playing" : "stopped"; }
  void Effect(const std::string&) override {}
  void EffectSilence() override {}
  // The real sound, told what was held: the piece from its start.
  void Release(Audio& to) {
    if (path_.empty()) return;
    to.MusicOpen(path_);
    if (playing_) to.MusicPlay();
  }

 private:
  std::string path_;
  bool playing_ = false;
};

}  // namespace plat
