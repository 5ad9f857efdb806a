// Replays: a game kept as the inputs that made it. A small text file: the
// format version, the game's version, the seed and the language, then each
// input the game took with the point at which it took it (the number of
// timer fires before it; a change of language is one too, with the language
// chosen), and an end line with how the game ended and a digest of the final
// game record, which is the same in every language:
//
//   pikora-replay 2
//   game 1.0.0
//   seed 1234
//   language ja
//   0 +2210 key 38
//   12 +1875 key 37
//   12 +4120 language en
//   40 +0 click 400 300
//   41 +350 close
//   end quit score 0 funds 1800 ticks 41 record 0123456789abcdef
//
// Beside each point, after a +, the milliseconds the game had been ready for
// input when it took it: the player's thinking time, which paces a replay in
// the window and plays no part in the game's course. The file is written as
// the game goes; without its end line it was cut off and is not played.
// Version 1 differs only in its digest, which took the record's fields in
// another order: such a file is read, and checked on all of its end line but
// that.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Platform.h"

namespace pk {
class Form1;
}

namespace replay {

constexpr int kFormat = 2;
// A real game takes a few thousand inputs, some 15 bytes each; this bounds
// what --verify holds and plays (about 70 000 inputs) to a fraction of a
// second and a few megabytes.
constexpr int64_t kMaxBytes = 1 << 20;
constexpr uint32_t kMaxWait = 3'600'000;  // an hour's thought before one input

struct Input {
  uint64_t point = 0;
  uint32_t wait = 0;  // ms the game had been ready for input
  plat::Event e;         // a change of language: its index of the carried ones, -1 for none
  std::string language;  // a change of language to one not carried: its code
};

// How a game ended: "vacation" (the owner came back), "bankrupt", "quit"
// (Escape, a click or the window closed during play) or "fatal".
struct Ending {
  std::string how;
  int64_t score = 0, funds = 0;
  uint64_t ticks = 0;   // timer fires: the intro's one and the main ticks
  std::string record;   // digest of the final game record, 16 hex digits
  bool operator==(const Ending&) const = default;
};
// "vacation, score 120, funds 3400, 1338 ticks"
std::string Describe(const Ending& e);

struct Replay {
  int format = kFormat;  // the file's format version
  std::string game;  // the version that recorded it
  uint64_t seed = 0;
  std::string language = "ja";  // the language it started in
  std::vector<Input> inputs;
  Ending end;
};

// Reads and checks a whole file: a regular file of at most kMaxBytes, looked
// at before it is read. False with what is wrong in why.
bool Load(const std::string& path, Replay& out, std::string& why);
bool Parse(const std::string& text, Replay& out, std::string& why);

// The lines of a replay, each ending in a newline.
std::string HeaderLines(uint64_t seed, const std::string& language);
std::string InputLine(const Input& in);
std::string EndLine(const Ending& end);
// A whole replay as text.
std::string Text(const Replay& r);

// FNV-1a over every field of the game record that play makes (all but the
// program's folder and the text colours), as 16 hex digits.
std::string RecordDigest(const pk::Form1& f);
// Whether a game ended as its replay says; a version-1 replay's record
// digest is of an older kind and is not compared.
bool EndsAsRecorded(const Replay& r, const Ending& got);
// How the game stands, as an end line says it.
Ending Conclude(const pk::Form1& f, uint64_t ticks, bool fatal);

// Writes a game as it goes: the header at once (over an older file, once
// the game begins), every input the game takes at once, the end line when
// told. A file that cannot be written is said once on stderr; the game
// plays on.
class Recorder : public plat::Tape {
 public:
  Recorder() = default;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;
  // Makes the file, a new one (force: or writes over what is there) and
  // writes the header; false with why, which does not name the file. With
  // force the header, and so the end of what was there, waits for Begin.
  bool Open(const std::string& path, uint64_t seed, const std::string& language, bool force, std::string& why);
  // The game begins (its window is open): the header is written.
  void Begin();
  // Closes the file before a game was played: one it made is removed, one
  // it was to write over is left as it was.
  void Discard();
  // Writes on after the first `keep` bytes of a file already begun (a kept
  // game continued: what follows them goes).
  bool Append(const std::string& path, int64_t keep, std::string& why);
  void Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) override;
  void Finish(const Ending& end);

 private:
  void Write(const std::string& s);
  plat::FileOut file_;
  std::string held_;  // the header, until the game begins
  std::string path_;  // as shown in messages
  bool failed_ = false;
};

// Gives the recorded inputs at their points; paced, each also after its
// wait, as the player took it. The viewer's own inputs do nothing, but
// quitting (Escape, a click, the window closed) ends the game, and a
// language chosen draws the game again in it; paced, → doubles the speed
// (up to kFastest), ← halves it and End skips to the last input without
// showing anything on the way.
class Player : public plat::Tape {
 public:
  static constexpr int kFastest = 16;
  explicit Player(std::vector<Input> inputs, bool paced = false) : inputs_(std::move(inputs)), paced_(paced) {}
  bool Let(plat::Event& e) override;
  bool Next(uint64_t point, uint32_t readyMs, plat::Event& e, uint32_t& holdMs) override;
  int Speed() const override { return paced_ ? speed_ : 0; }
  bool Behind(uint64_t) const override { return skipping_ && next_ < inputs_.size(); }
  bool Spent() const { return next_ == inputs_.size(); }
  size_t Left() const { return inputs_.size() - next_; }
  bool QuitByPlayer() const { return quit_; }

 private:
  std::vector<Input> inputs_;
  bool paced_;
  size_t next_ = 0;
  bool quit_ = false;
  int speed_ = 1;
  bool skipping_ = false;
};

// A replay played on the blind twin in virtual time; inputsLeft (if given)
// gets the number of recorded inputs the game never took.
Ending PlayBlind(const Replay& r, size_t* inputsLeft = nullptr);

}  // namespace replay
