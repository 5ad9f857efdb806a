// The headless twin of the platform: a virtual clock that waits cost nothing
// on, scripted keys and clicks, real pixel buffers, recorded sound requests.
// A whole game runs in milliseconds, the same way for the same seed.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/Comfort.h"
#include "platform/Platform.h"

namespace plat {

class Headless;

// A compact account of what the game asks of the twin, one line per happening
// with the virtual time: "<ms> <what>". Sounds and scripted events as they
// come; "show <calls> <digest>" for each present, a digest of the drawing
// calls since the one before; callers add lines of their own. Drawing calls
// are recorded, not pixels, so a newer rasteriser or font leaves it unchanged.
class Tracer : public DrawSink {
 public:
  explicit Tracer(Headless& hp);  // listens to every surface until destroyed
  ~Tracer() override;
  void Add(const std::string& what);
  void Shown();
  // FNV-1a of a text, as eight hex digits.
  static std::string Digest(const std::string& text);

  void Copied(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) override;
  void Boxed(const Surface& dst, int x1, int y1, int x2, int y2, Color c, bool filled) override;
  void Filled(const Surface& dst, Color c) override;
  void Printed(const Surface& dst, const std::string& utf8) override;

  std::vector<std::string> lines;
  // The drawing calls behind line `keep`, written out one per line.
  size_t keep = size_t(-1);
  std::string kept;

 private:
  void Call(const std::string& c);
  Headless& hp_;
  std::vector<std::string> calls_;
};

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
  void Present() override {
    if (audio.tracer) audio.tracer->Shown();
  }
  bool PollEvent(Event& e) override;
  bool WaitEvent(int ms) override;
  Audio& Sound() override { return audio; }
  std::string ProgramDir() override { return dir; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override { fatal = msg; }

  // Scripted input, delivered when the virtual clock reaches its time.
  void KeyAt(uint32_t t, int key);
  void ClickAt(uint32_t t, int x, int y);
  void CloseAt(uint32_t t);
  void Key(int key) { KeyAt(now_, key); }
  size_t Pending() const { return script_.size(); }
  // "d0".."d2" for the surfaces, the picture's name, or the size of another.
  std::string NameOf(const Surface& s) const;

  Comfort::Host quiet;
  Comfort comfort{quiet};  // the pause and the volume, as on the real window
  RecordingAudio audio;
  std::string dir = "/opt/pikora/";
  std::string fatal;

 private:
  struct Timed {
    uint32_t at;
    Event e;
  };
  void Add(uint32_t t, const Event& e);
  bool Take(const Timed& t);
  void Hold(size_t from);
  uint32_t now_;
  uint64_t seed_;
  std::deque<Timed> script_;
};

}  // namespace plat
