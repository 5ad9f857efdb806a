#include "platform/Headless.h"

#include <algorithm>
#include <cstdlib>

namespace plat {

void RecordingAudio::MusicOpen(const std::string& path) { log.push_back("open " + path); open = true; playing = false; }
void RecordingAudio::MusicPlay() { log.push_back("play"); if (open) playing = true; }
void RecordingAudio::MusicStop() { log.push_back("stop"); playing = false; }
void RecordingAudio::MusicRewind() { log.push_back("rewind"); playing = false; }
void RecordingAudio::MusicClose() { log.push_back("close"); open = playing = false; }
std::string RecordingAudio::MusicMode() {
  ++modeQueries;
  if (!open) return "";
  return playing ? "playing" : "stopped";
}
void RecordingAudio::Effect(const std::string& path) { log.push_back("effect " + path); }
void RecordingAudio::EffectSilence() { log.push_back("silence"); }

std::vector<int> RecordingAudio::Effects() const {
  std::vector<int> out;
  for (const auto& l : log) {
    if (l.rfind("effect ", 0) != 0) continue;
    auto p = l.rfind("se");
    if (p != std::string::npos) out.push_back(std::atoi(l.c_str() + p + 2));
  }
  return out;
}

Headless::Headless(uint64_t seed, uint32_t startTicks) : now_(startTicks), seed_(seed) {}

void Headless::Add(uint32_t t, const Event& e) {
  // Keep the script ordered by time, equal times in the order given.
  auto it = std::upper_bound(script_.begin(), script_.end(), t,
                             [this](uint32_t a, const Timed& b) { return int32_t(a - b.at) < 0; });
  script_.insert(it, Timed{t, e});
}

void Headless::KeyAt(uint32_t t, int key) { Add(t, Event{Event::KeyDown, key, 0, 0}); }
void Headless::ClickAt(uint32_t t, int x, int y) { Add(t, Event{Event::Click, 0, x, y}); }
void Headless::CloseAt(uint32_t t) { Add(t, Event{Event::Close, 0, 0, 0}); }

bool Headless::PollEvent(Event& e) {
  if (script_.empty() || int32_t(now_ - script_.front().at) < 0) return false;
  e = script_.front().e;
  script_.pop_front();
  return true;
}

bool Headless::WaitEvent(int ms) {
  if (!script_.empty()) {
    int32_t until = int32_t(script_.front().at - now_);
    if (until <= 0) return true;
    if (ms < 0 || until <= ms) {
      now_ = script_.front().at;
      return true;
    }
  }
  if (ms < 0) return false;  // nothing timed and nothing scripted: nothing can happen
  now_ += uint32_t(ms);
  return true;
}

}  // namespace plat
