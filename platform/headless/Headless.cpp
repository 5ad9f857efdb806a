#include "platform/headless/Headless.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/headless/Tracer.h"
#include "platform/kit/Pictures.h"
#include "platform/kit/Text.h"

namespace plat {

void RecordingAudio::Log(const std::string& what) {
  log.push_back(what);
  if (!tracer) return;
  const size_t at = what.find(dir);
  tracer->Add(dir.empty() || at == std::string::npos ? what : what.substr(0, at) + what.substr(at + dir.size()));
}
void RecordingAudio::MusicOpen(const std::string& path) { Log("open " + path); open = true; playing = false; }
void RecordingAudio::MusicPlay() { Log("play"); if (open) playing = true; }
void RecordingAudio::MusicStop() { Log("stop"); playing = false; }
void RecordingAudio::MusicRewind() { Log("rewind"); playing = false; }
void RecordingAudio::MusicClose() { Log("close"); open = playing = false; }
std::string RecordingAudio::MusicMode() {
  if (!open) return "";
  return playing ? "playing" : "stopped";
}
void RecordingAudio::Effect(const std::string& path) { Log("effect " + path); }
void RecordingAudio::EffectSilence() { Log("silence"); }

std::vector<int> RecordingAudio::Effects() const {
  std::vector<int> out;
  for (const auto& l : log) {
    if (!l.starts_with("effect ")) continue;
    auto p = l.rfind("se");
    if (p != std::string::npos) out.push_back(std::atoi(l.c_str() + p + 2));
  }
  return out;
}

Headless::Headless(uint64_t seed, uint32_t startTicks) : now_(startTicks), seed_(seed) {}

// Catching up with a tape, nothing is shown or heard and the script waits.
void Headless::Present() {
  if (audio.tracer && !Behind() && !hurry_) audio.tracer->Shown();
}

void Headless::CaughtUp() {
  Present();
  held_.Release(audio);
  held_ = HeldAudio{};
}

void Headless::Add(uint32_t t, const Event& e) {
  // Keep the script ordered by time, equal times in the order given.
  auto it = std::upper_bound(script_.begin(), script_.end(), t,
                             [this](uint32_t a, const Timed& b) { return int32_t(a - b.at) < 0; });
  script_.insert(it, Timed{t, e});
}

void Headless::KeyAt(uint32_t t, int key) { Add(t, Event{Event::KeyDown, key, 0, 0}); }
void Headless::ClickAt(uint32_t t, int x, int y) { Add(t, Event{Event::Click, 0, x, y}); }
void Headless::CloseAt(uint32_t t) { Add(t, Event{Event::Close, 0, 0, 0}); }

// The platform's own keys act as they come, the others are the game's.
bool Headless::Take(const Timed& t) {
  return comfort.Take(t.e, t.e.type == Event::KeyDown ? KeyAction(t.e.key, false) : Action::Nothing, now_);
}

// While paused the script from entry `from` on runs by the machine's clock
// alone, its keys and clicks dropped, until resumed; quitting stays for the
// game to take. A script spent while paused resumes: nothing else could
// ever happen.
void Headless::Hold(size_t from) {
  while (comfort.Paused()) {
    if (from >= script_.size()) {
      comfort.Act(Action::Pause, now_);
      return;
    }
    if (int32_t(script_[from].at - now_) > 0) now_ = script_[from].at;
    if (!Take(script_[from])) script_.erase(script_.begin() + ptrdiff_t(from));
  }
}

// The game takes no event while it sleeps, but the platform's keys act at
// their time, as on the window; game events before them stay queued.
void Headless::Sleep(uint32_t ms) {
  if (Behind() || hurry_) return void(now_ += ms);
  for (;;) {
    auto it = std::find_if(script_.begin(), script_.end(), [&](const Timed& t) {
      return (t.e.type == Event::Close || (t.e.type == Event::KeyDown && KeyAction(t.e.key, false) != Action::Nothing)) &&
             int32_t(t.at - now_) <= int64_t(ms);
    });
    if (it == script_.end()) break;
    if (int32_t(it->at - now_) > 0) {
      ms -= it->at - now_;
      now_ = it->at;
    }
    if (it->e.type == Event::Close) {  // closed in the middle of a wait: the rest runs unseen, then the close
      script_.erase(it);
      hurry_ = true;
      break;
    }
    const Timed t = *it;
    it = script_.erase(it);
    Take(t);
    Hold(size_t(it - script_.begin()));
  }
  now_ += ms;
}

bool Headless::Speak(const std::string& code) {
  const int i = CarriedLanguages().Find(code);
  if (i < 0) return false;
  language_ = size_t(i);
  return true;
}

bool Headless::PollEvent(Event& e) {
  if (Behind()) return false;
  if (hurry_) {
    hurry_ = false;
    held_ = HeldAudio{};
    e = Event{Event::Close, 0, 0, 0};
    if (audio.tracer) audio.tracer->Add("close");
    return true;
  }
  for (;;) {
    // A new language is told before anything that came after it.
    if (retell_) {
      retell_ = false;
      e = Event{Event::Language, 0, 0, 0};
      if (audio.tracer) audio.tracer->Add("language " + CarriedLanguages()[language_].code);
      return true;
    }
    if (script_.empty() || int32_t(now_ - script_.front().at) < 0) return false;
    const Timed t = script_.front();
    script_.pop_front();
    if (Take(t)) {
      e = t.e;
      if (audio.tracer)
        audio.tracer->Add(e.type == Event::KeyDown ? "key " + std::to_string(e.key)
                          : e.type == Event::Click ? "click " + std::to_string(e.x) + "," + std::to_string(e.y)
                                                   : "close");
      return true;
    }
    Hold(0);
  }
}

std::string Headless::NameOf(const Surface& s) const {
  for (int i = 0; i <= 2; ++i)
    if (&s == &display_[i]) return "d" + std::to_string(i);
  for (size_t i = 0; pics_ && i < pics_->size(); ++i)
    if (&s == &(*pics_)[i]) return Table()[i].name;
  return std::to_string(s.W()) + "x" + std::to_string(s.H());
}

void Headless::Print(Surface& s, const std::string& utf8) { PrintText(s, utf8); }

std::shared_ptr<const PictureSet> Headless::Decode(PictureTable table) const { return SharedPictures(table); }

bool Headless::WaitEvent(int ms) {
  if (Behind()) {
    if (ms >= 0) return now_ += uint32_t(ms), true;
    Stuck();
  }
  if (retell_ || hurry_) return true;
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
