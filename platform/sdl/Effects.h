// The sound effects through SDL_mixer, the same on the desktop and in the
// page: each file read once and checked before the mixer sees it (a regular
// file of a sane size, a WAV of a sane rate, channels and length); a missing
// or refused one beeps instead. Faults of the sound are said once each.
#pragma once
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
