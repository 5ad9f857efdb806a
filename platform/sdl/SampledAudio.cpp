// The device is mapped as on the desktop:
//   stop   = pause (resumes exactly where it stood)
//   play   = resume if paused, else play once from the start
//   rewind = halt, so the next play starts from the top
// Every fault is logged once and leaves silence.
#include "platform/sdl/SampledAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <set>

#include "platform/sdl/AudioFiles.h"
#include "platform/sdl/Effects.h"

namespace plat {
// Named apart: a unity build puts this beside the desktop's synthesised audio.
namespace sampled {
namespace {

constexpr int kEffectChannel = 0;
constexpr int kRate = 44100;  // the desktop's; the browser may run its output at another
// Twice the desktop's buffer: the page mixes on its one thread, between the
// game's steps.
constexpr int kBufferFrames = 2048;

class SampledAudio : public SdlAudio {
 public:
  SampledAudio() : device_(say_, MIX_INIT_OGG, kRate, kBufferFrames) {}

  ~SampledAudio() override {
    if (!device_.Open()) return;
    DropPiece();
    Mix_HaltChannel(-1);
    effects_.Clear();
  }

  void MusicOpen(const std::string& path) override {
    if (!device_.Open()) return;
    DropPiece();
    bool ok = false;
    const std::vector<uint8_t> bytes = ReadFileBytes(path, ok);
    if (!ok) return LogOnce("music:" + path, "music file missing, playing without music: " + path);
    const MidiSummary midi = ParseMidi(bytes);
    const bool isMidi = bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "MThd");
    if (isMidi && !midi.ok)
      return LogOnce("music:" + path, "music file is broken (" + midi.error + "), playing without music: " + path);
    // A piece that is no MIDI file goes to the mixer as it is.
    const std::string samples = isMidi ? MadeTunePath(path) : path;
    // Told by its content, as the effects are.
    SDL_RWops* rw = SDL_RWFromFile(samples.c_str(), "rb");
    music_ = rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
    if (!music_)
      return LogOnce("music:" + samples, "cannot load the music (" + std::string(Mix_GetError()) +
                                             "), playing without it: " + samples);
    lengthFrames_ = isMidi ? int64_t(midi.seconds * device_.Rate()) : -1;
  }

  void MusicPlay() override {
    if (!music_) return;
    if (paused_) {
      paused_ = false;
      if (!held_) Mix_ResumeMusic();
    } else if (!started_) {
      Start();
    }
  }

  void MusicStop() override {
    if (!music_ || !started_ || paused_) return;
    paused_ = true;
    if (!held_) Mix_PauseMusic();
  }

  void MusicRewind() override {
    if (!music_ || !started_) return;  // already at the start
    Mix_HaltMusic();
    started_ = paused_ = false;
  }

  void MusicClose() override {
    if (device_.Open()) DropPiece();
  }

  std::string MusicMode() override {
    if (!music_) return "";
    if (!started_ || paused_ || !Mix_PlayingMusic()) return "stopped";
    if (lengthFrames_ >= 0 && device_.played.load() >= lengthFrames_) return "stopped";
    return "playing";
  }

  void Effect(const std::string& path) override {
    if (!device_.Open()) return;
    if (Mix_Chunk* c = effects_.Chunk(path)) Mix_PlayChannel(kEffectChannel, c, 0);
  }

  void EffectSilence() override {
    if (device_.Open()) Mix_HaltChannel(kEffectChannel);
  }

  // The player's pause: the tune stands where it is (an effect may finish)
  // and goes on after, whatever the game had asked of it meanwhile.
  void Hold(bool held) override {
    if (!device_.Open() || held == held_) return;
    held_ = held;
    if (!music_ || !started_ || paused_) return;
    if (held) Mix_PauseMusic();
    else Mix_ResumeMusic();
  }

  // The made tune carries the music's share of the volume already.
  void Volume(int tenths) override {
    if (!device_.Open()) return;
    tenths_ = tenths;
    Mix_VolumeMusic(MIX_MAX_VOLUME * tenths / 10);
    Mix_Volume(kEffectChannel, MIX_MAX_VOLUME * tenths / 10);
  }

 private:
  void Start() {
    device_.played = 0;
    Mix_VolumeMusic(MIX_MAX_VOLUME * tenths_ / 10);
    if (Mix_PlayMusic(music_, 0) != 0) {
      LogOnce("play", std::string("cannot play the music: ") + Mix_GetError());
      return;
    }
    started_ = true;
    if (held_) Mix_PauseMusic();
  }

  void DropPiece() {
    if (music_) {
      Mix_HaltMusic();
      Mix_FreeMusic(music_);
    }
    music_ = nullptr;
    started_ = paused_ = false;
    lengthFrames_ = -1;
  }

  void LogOnce(const std::string& key, const std::string& message) { say_(key, message); }

  SaidOnce say_;
  MixerDevice device_;
  Mix_Music* music_ = nullptr;
  bool started_ = false, paused_ = false;  // by the game
  bool held_ = false;                      // by the player's pause
  int tenths_ = 10;
  int64_t lengthFrames_ = -1;
  Effects effects_{say_};
};

}  // namespace
}  // namespace sampled

std::unique_ptr<SdlAudio> MakeSampledAudio() { return std::make_unique<sampled::SampledAudio>(); }

std::string MadeTunePath(const std::string& piece) {
  const size_t slash = piece.rfind('/'), dot = piece.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? piece.substr(0, dot) : piece) + ".ogg";
}

}  // namespace plat
