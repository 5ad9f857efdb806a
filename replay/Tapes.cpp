// The recorder and the player of replays, the end of a game as a replay says
// it, and a replay played on the blind twin.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/Form.h"
#include "platform/Terminal.h"
#include "platform/blind/Blind.h"
#include "replay/Replay.h"

namespace replay {
namespace {

// Folds the record's fields, one after another, into a 64-bit FNV-1a.
struct Fold {
  uint64_t h = 1469598103934665603ull;
  void Bytes(const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const uint8_t*>(p)[i]) * 1099511628211ull;
  }
  void Value(int64_t v) { Bytes(&v, sizeof v); }
  void Value(const std::string& s) {
    Value(int64_t(s.size()));
    Bytes(s.data(), s.size());
  }
  template <class T, int N0, int N1, int N2>
  void Value(const pk::Arr<T, N0, N1, N2>& a) {
    for (const T& e : a) Value(e);
  }
  void operator()(const char*, const auto& field, pk::FieldKind kind) {
    if (kind == pk::FieldKind::kPlay) Value(field);
  }
};

}  // namespace

std::string RecordDigest(const pk::Form1& f) {
  Fold d;
  f.EachField(d);
  char hex[20];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(d.h));
  return hex;
}

Ending Conclude(const pk::Form1& f, uint64_t ticks, bool fatal) {
  Ending e;
  e.how = fatal ? "fatal" : f.Mode == pk::kEndRoll ? "vacation" : f.Mode == pk::kBankrupt ? "bankrupt" : "quit";
  e.score = f.Score;
  e.funds = f.Sikin;
  e.ticks = ticks;
  e.record = RecordDigest(f);
  return e;
}

bool EndsAsRecorded(const Replay& r, const Ending& got) {
  if (r.format >= 2) return got == r.end;
  return got.how == r.end.how && got.score == r.end.score && got.funds == r.end.funds && got.ticks == r.end.ticks;
}

bool Recorder::Open(const std::string& path, uint64_t seed, const std::string& language, bool force,
                    std::string& why) {
  path_ = plat::Shown(path);
  if (!file_.Create(path, force, why)) {
    if (why == "there is a file of that name already") why += " (--force writes over it)";
    else if (why.starts_with("there is ")) why += "; a replay goes into a new file";
    return why = "cannot write the replay: " + why, false;
  }
  // An older replay written over stays whole until the game begins: a
  // window that cannot open costs it nothing.
  held_ = HeaderLines(seed, language);
  if (!force) Begin();
  if (failed_) return why = "cannot write the replay", false;
  return true;
}

void Recorder::Begin() {
  std::string header;
  header.swap(held_);
  if (!header.empty()) Write(header);
}

void Recorder::Discard() { file_.Discard(); }

bool Recorder::Append(const std::string& path, int64_t keep, std::string& why) {
  path_ = plat::Shown(path);
  if (!file_.Append(path, keep, why)) return why = "cannot write the replay " + path_ + ": " + why, false;
  return true;
}

// Each line goes to the file at once: a game killed midway leaves every
// input it took, and the missing end line tells that it was cut off.
void Recorder::Write(const std::string& s) {
  if (!held_.empty()) Begin();
  if (!file_.IsOpen() || failed_) return;
  std::string why;
  if (file_.Write(s, why)) return;
  failed_ = true;
  std::fprintf(stderr, "pikora: the replay %s is incomplete: %s\n", path_.c_str(), why.c_str());
}

void Recorder::Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) {
  Write(InputLine(Input{point, std::min(readyMs, kMaxWait), e, {}}));
}

void Recorder::Finish(const Ending& end) {
  Write(EndLine(end));
  std::string why;
  if (file_.IsOpen() && !failed_ && !file_.Sync(why))
    std::fprintf(stderr, "pikora: the replay %s may be incomplete: %s\n", path_.c_str(), why.c_str());
}

bool Player::Let(plat::Event& e) {
  // The viewer's own choice of language: drawn again in it, nothing else.
  if (e.type == plat::Event::Language) return true;
  if (paced_ && e.type == plat::Event::KeyDown) {
    if (e.key == plat::kKeyRight) speed_ = std::min(speed_ * 2, kFastest);
    if (e.key == plat::kKeyLeft) speed_ = std::max(speed_ / 2, 1);
    if (e.key == plat::kKeyEnd) skipping_ = true;
  }
  const bool quit = e.type == plat::Event::Close || e.type == plat::Event::Click ||
                    (e.type == plat::Event::KeyDown && e.key == plat::kKeyEscape);
  if (!quit) return false;
  // Closing ends the game in every mode; Escape would turn a page of the roll.
  e = plat::Event{plat::Event::Close, 0, 0, 0};
  quit_ = true;
  return true;
}

bool Player::Next(uint64_t point, uint32_t readyMs, plat::Event& e, uint32_t& holdMs) {
  if (next_ == inputs_.size() || inputs_[next_].point != point) return false;
  if (paced_ && !skipping_ && readyMs < inputs_[next_].wait) {
    holdMs = inputs_[next_].wait - readyMs;
    return false;
  }
  e = inputs_[next_++].e;
  return true;
}

Ending PlayBlind(const Replay& r, size_t* inputsLeft) {
  plat::Blind blind(r.seed);
  Player tape(r.inputs);
  blind.UseTape(&tape);
  pk::Form1 f(blind);
  bool fatal = false;
  try {
    f.Run();
  } catch (const pk::FatalError&) {
    fatal = true;
  }
  if (inputsLeft) *inputsLeft = tape.Left();
  return Conclude(f, blind.Point(), fatal);
}

}  // namespace replay
