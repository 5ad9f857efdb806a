// Music and effects through SDL2_mixer: the MIDI piece synthesised by
// FluidSynth with a General MIDI SoundFont, effects as WAV on one reserved
// channel.
//
// The piece is synthesised once, ahead of the player, into samples the mixer
// plays as a WAV (RenderedTune); only a piece too long to keep in memory, or
// one that is no MIDI at all, goes to the mixer as it is. Either way the
// device is mapped thus:
//   stop   = pause (resumes exactly where it stood)
//   play   = resume if paused, else play once from the start of a fresh load
//   rewind = halt, free, and a fresh load of what is kept in memory
// The end of a MIDI piece is judged by the frames played against the piece's
// own length from its tempo map: FluidSynth reports the end only seconds after
// the last note, and never while a note is left on.
//
// A worker thread does the loading, keeping one spare load ready so a rewind
// is instant. Every fault is logged once and leaves silence.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/sdl/AudioFiles.h"
#include "platform/sdl/Effects.h"
#include "platform/Files.h"
#include "platform/desktop/RenderedTune.h"
#include "platform/sdl/SdlPlatform.h"

namespace plat {
namespace {

constexpr int kEffectChannel = 0;
// Larger files are refused: they are no tune or effect of this game, and
// would be read on the game's thread.
constexpr size_t kMusicLimit = size_t(32) << 20;
constexpr int kMusicVolume = 64;  // of 128: leaves headroom for the effects over the tune
// The mixer's synthesiser plays at FluidSynth gain 1.2 * volume / 128; the
// rendered tune is made at the gain of our volume and played at full volume,
// so it sounds the same.
constexpr double kRenderedGain = RenderedTune::kGain;
static_assert(kRenderedGain == 1.2 * kMusicVolume / MIX_MAX_VOLUME);

class MixerAudio : public SdlAudio {
 public:
  explicit MixerAudio(const std::string& programDir)
      : device_(say_, MIX_INIT_MID, RenderedTune::kRate, 1024, [&] {
          soundFont_ = FindSoundFont(programDir);
          // Set before the device opens: the system's default would otherwise win.
          if (!soundFont_.empty()) Mix_SetSoundFonts(soundFont_.c_str());
        }) {
    if (!device_.Open()) return;
    worker_ = std::thread([this] {
      LoadLoop();
      SDL_TLSCleanup();  // the mixer's error text lives in this thread's storage
    });
  }

  ~MixerAudio() override {
    if (!device_.Open()) return;
    {
      std::lock_guard<std::mutex> lk(mu_);
      quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
    DropPiece();
    Mix_HaltChannel(-1);
    effects_.Clear();
  }

  void MusicOpen(const std::string& path) override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!device_.Open()) return;
    DropPiece();
    FileRead file = ReadWholeFile(path, kMusicLimit);
    if (!file.ok)
      return LogOnce("music:" + path, (file.missing ? "music file missing" : "music file refused (" + file.why + ")") +
                                          ", playing without music: " + path);
    auto bytes = std::make_shared<std::vector<uint8_t>>(std::move(file.bytes));
    MidiSummary midi = ParseMidi(*bytes);
    // FluidSynth takes a broken MIDI file and only fails when it plays it.
    if (!midi.ok && bytes->size() >= 4 && std::equal(bytes->begin(), bytes->begin() + 4, "MThd"))
      return LogOnce("music:" + path, "music file is broken (" + midi.error + "), playing without music: " + path);
    if (midi.ok && soundFont_.empty())
      return LogOnce("soundfont", "no General MIDI SoundFont found (set PIKORA_SOUNDFONT), playing without music");
    lengthFrames_ = midi.ok ? int64_t(midi.seconds * device_.Rate()) : -1;
    if (midi.ok && midi.seconds <= RenderedTune::kLongest)
      tune_ = RenderedTune::Start(bytes, soundFont_, device_.Rate(), lengthFrames_, kRenderedGain);
    bytes_ = std::move(bytes);
    wake_.notify_all();
  }

  void MusicPlay() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!Open()) return;
    if (!current_) wantPlay_ = true;  // starts as soon as the load is done
    else if (paused_) Resume();
    else if (!started_) Start();
  }

  void MusicStop() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!Open()) return;
    wantPlay_ = false;
    if (started_ && !paused_ && Mix_PlayingMusic()) {
      Mix_PauseMusic();
      paused_ = true;
    }
  }

  void MusicRewind() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!Open()) return;
    wantPlay_ = false;
    if (current_ && !started_) return;  // already at the start
    if (current_) {
      Mix_HaltMusic();
      Mix_FreeMusic(current_);
    }
    current_ = spare_;  // null while the worker still loads one
    spare_ = nullptr;
    started_ = paused_ = false;
    wake_.notify_all();
  }

  void MusicClose() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (device_.Open()) DropPiece();
  }

  std::string MusicMode() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!Open()) return "";
    if (!current_) return wantPlay_ ? "playing" : "stopped";
    if (!started_ || paused_ || !Mix_PlayingMusic()) return "stopped";
    if (lengthFrames_ >= 0 && device_.played.load() >= lengthFrames_) return "stopped";
    return "playing";
  }

  void Effect(const std::string& path) override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!device_.Open()) return;
    if (Mix_Chunk* c = effects_.Chunk(path)) Mix_PlayChannel(kEffectChannel, c, 0);
  }

  void EffectSilence() override {
    std::lock_guard<std::mutex> lk(mu_);
    if (device_.Open()) Mix_HaltChannel(kEffectChannel);
  }

  // The player's pause: the tune stands where it is (an effect may finish)
  // and goes on after, whatever the game had asked of it meanwhile.
  void Hold(bool held) override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!device_.Open() || held == held_) return;
    held_ = held;
    if (held) {
      if (started_ && !paused_ && Mix_PlayingMusic()) Mix_PauseMusic();
    } else if (started_ && !paused_) {
      Mix_ResumeMusic();
    } else if (current_ && wantPlay_) {
      wantPlay_ = false;
      Start();
    }
  }

  void Volume(int tenths) override {
    std::lock_guard<std::mutex> lk(mu_);
    if (!device_.Open()) return;
    tenths_ = tenths;
    Mix_VolumeMusic(MusicVolume());
    Mix_Volume(kEffectChannel, MIX_MAX_VOLUME * tenths / 10);
  }

 private:
  bool Open() const { return device_.Open() && bytes_ && !failed_; }

  int MusicVolume() const { return (tune_ ? MIX_MAX_VOLUME : kMusicVolume) * tenths_ / 10; }

  void Start() {
    device_.played = 0;
    Mix_VolumeMusic(MusicVolume());
    if (Mix_PlayMusic(current_, 0) != 0) {
      LogOnce("play", std::string("cannot play the music: ") + Mix_GetError());
      failed_ = true;
      return;
    }
    started_ = true;
    paused_ = false;
  }
  void Resume() {
    Mix_ResumeMusic();
    paused_ = false;
  }

  // Forgets the piece: what the worker still loads for it is thrown away.
  void DropPiece() {
    if (current_ || spare_) Mix_HaltMusic();
    if (current_) Mix_FreeMusic(current_);
    if (spare_) Mix_FreeMusic(spare_);
    current_ = spare_ = nullptr;
    bytes_.reset();
    tune_.reset();
    ++generation_;
    wantPlay_ = started_ = paused_ = failed_ = false;
    lengthFrames_ = -1;
  }

  // The worker: keeps a loaded piece and one spare ready for the open bytes.
  void LoadLoop() {
    std::unique_lock<std::mutex> lk(mu_);
    for (;;) {
      wake_.wait(lk, [this] { return quit_ || (Open() && (!current_ || !spare_)); });
      if (quit_) return;
      std::shared_ptr<const std::vector<uint8_t>> bytes = bytes_;
      std::shared_ptr<RenderedTune> tune = tune_;
      const bool first = !current_;
      unsigned generation = generation_;
      lk.unlock();
      Mix_Music* m = nullptr;
      std::string error;
      // A second of the tune made before the mixer reads it: the rest is
      // made far faster than it plays.
      if (tune && first && !tune->WaitFor(device_.Rate())) {
        error = tune->Error();
      } else {
        SDL_RWops* rw = tune ? tune->Open() : SDL_RWFromConstMem(bytes->data(), int(bytes->size()));
        m = rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
        if (!m) error = Mix_GetError();
      }
      lk.lock();
      if (generation != generation_) {
        if (m) Mix_FreeMusic(m);
      } else if (!m) {
        LogOnce("load", "cannot load the music, playing without it: " + error);
        failed_ = true;
      } else if (!current_) {
        current_ = m;
        if (wantPlay_ && !held_) {
          wantPlay_ = false;
          Start();
        }
      } else {
        spare_ = m;
      }
    }
  }

  void LogOnce(const std::string& key, const std::string& message) { say_(key, message); }

  SaidOnce say_;
  std::string soundFont_;
  MixerDevice device_;

  std::mutex mu_;  // guards everything below; taken before the mixer's lock
  std::condition_variable wake_;
  std::thread worker_;
  bool quit_ = false;
  std::shared_ptr<const std::vector<uint8_t>> bytes_;  // the open piece
  std::shared_ptr<RenderedTune> tune_;                  // its samples, if it is made into them
  int tenths_ = 10;                                     // the player's volume
  unsigned generation_ = 0;
  Mix_Music* current_ = nullptr;
  Mix_Music* spare_ = nullptr;
  bool wantPlay_ = false, started_ = false, paused_ = false, failed_ = false;
  bool held_ = false;  // the player paused the game
  int64_t lengthFrames_ = -1;
  Effects effects_{say_};
};

}  // namespace

std::unique_ptr<SdlAudio> MakeSdlAudio(const std::string& programDir) {
  return std::make_unique<MixerAudio>(programDir);
}

}  // namespace plat
