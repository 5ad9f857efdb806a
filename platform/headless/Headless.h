// The headless twin of the platform: a virtual clock that waits cost nothing
// on, scripted keys and clicks, real pixel buffers, recorded sound requests.
// A whole game runs in milliseconds, the same way for the same seed.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/kit/CatchUp.h"
#include "platform/kit/Comfort.h"

namespace plat {

class Tracer;

// Sound requests written down instead of played: "open PATH", "play", "stop",
// "rewind", "close", "effect PATH", "silence".
class RecordingAudio : public Audio {
 public:
  void MusicOpen(const std::string& path) override;
  void MusicPlay() override;
  void MusicStop() override;
  void MusicRewind() override;
  void MusicClose() override;
  std::string MusicMode() override;
  void Effect(const std::string& path) override;
  void EffectSilence() override;

  std::vector<std::string> log;
  bool open = false;
  bool playing = false;
  // Effects requested, as their numbers (the digits after ".../se").
  std::vector<int> Effects() const;
  Tracer* tracer = nullptr;
  std::string dir;  // left out of the paths in the trace

 private:
  void Log(const std::string& what);
};

class Headless : public Platform {
 public:
  explicit Headless(uint64_t seed = 1, uint32_t startTicks = 0);

  // The game's clock; scripts are timed by the machine's, which goes on
  // while paused.
  uint32_t Ticks() override { return now_ - comfort.Lost(); }
  void Sleep(uint32_t ms) override;
  void Present() override;
  bool PollEvent(Event& e) override;
  bool WaitEvent(int ms) override;
  Audio& Sound() override { return Behind() || hurry_ ? static_cast<Audio&>(held_) : audio; }
  std::string ProgramDir() override { return dir; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override { fatal = msg; }
  void Print(Surface& s, const std::string& utf8) override;

  // Scripted input, delivered when the virtual clock reaches its time.
  void KeyAt(uint32_t t, int key);
  void ClickAt(uint32_t t, int x, int y);
  void CloseAt(uint32_t t);
  void Key(int key) { KeyAt(now_, key); }
  size_t Pending() const { return script_.size(); }
  // "d0".."d2" for the surfaces, the picture's name, or the size of another.
  std::string NameOf(const Surface& s) const;

  // Plays in the language of that code, as --lang would; false when the
  // program carries none such.
  bool Speak(const std::string& code);

 protected:
  void CaughtUp() override;

 private:
  // The language key on the pause screen changes the words at once; the game
  // is told when play goes on.
  struct Host : Comfort::Host {
    explicit Host(Headless& hp) : hp(hp) {}
    size_t CurrentLanguage() const override { return hp.Language(); }
    void ChooseLanguage(size_t i) override { hp.SetLanguage(i); }
    void Retell() override { hp.retell_ = true; }
    Headless& hp;
  } host_{*this};

 public:
  Comfort comfort{host_};  // the pause, the volume and the language, as on the real window
  RecordingAudio audio;
  std::string dir = "/opt/pikora/";
  std::string fatal;

 private:
  struct Timed {
    uint32_t at;
    Event e;
  };
  std::shared_ptr<const PictureSet> Decode(PictureTable table) const override;
  void Add(uint32_t t, const Event& e);
  bool Take(const Timed& t);
  void Hold(size_t from);
  uint32_t now_;
  uint64_t seed_;
  bool retell_ = false;  // the game is yet to hear of a new language
  std::deque<Timed> script_;
  HeldAudio held_;  // while catching up or hurrying
  bool hurry_ = false;  // closed in a wait: the handler runs on unseen and unheard, then the game takes the close
};

}  // namespace plat
