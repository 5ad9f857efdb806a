// The mixer's side the desktop and the page share: the device opened for
// the game, and the sound effects, each file read once and checked before the
// mixer sees it (a regular file of a sane size, a WAV of a sane rate, channels
// and length); a missing or refused one beeps instead. Faults of the sound
// are said once each.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

struct Mix_Chunk;

namespace plat {

// Tells a fault on stderr the first time its key is met.
class SaidOnce {
 public:
  void operator()(const std::string& key, const std::string& message);

 private:
  std::set<std::string> said_;
};

// SDL's audio and the mixer, open while this lives: one reserved channel for
// the effects, and the frames mixed while the music sounds counted (the end
// of a piece is judged by them). Without a device it stays shut, said once.
class MixerDevice {
 public:
  // `beforeOpening` runs once SDL's audio is up, before the device opens.
  MixerDevice(SaidOnce& say, int mixerFormats, int rate, int bufferFrames,
              const std::function<void()>& beforeOpening = {});
  ~MixerDevice();
  MixerDevice(const MixerDevice&) = delete;
  MixerDevice& operator=(const MixerDevice&) = delete;
  bool Open() const { return open_; }
  int Rate() const { return rate_; }  // as the device runs, which may differ from the one asked for
  std::atomic<int64_t> played{0};     // frames mixed while the music sounds

 private:
  static void CountFrames(void* self, uint8_t*, int len);
  bool open_ = false;
  int rate_, frameBytes_ = 4;
};

class Effects {
 public:
  explicit Effects(SaidOnce& say) : say_(say) {}
  Effects(const Effects&) = delete;
  Effects& operator=(const Effects&) = delete;
  // The effect for a path, the beep for a file that is not one.
  Mix_Chunk* Chunk(const std::string& path);
  // Frees every chunk; the mixer must still be open.
  void Clear();

 private:
  SaidOnce& say_;
  std::map<std::string, Mix_Chunk*> chunks_;
  Mix_Chunk* beep_ = nullptr;
};

}  // namespace plat
