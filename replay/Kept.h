// Games kept as they go, to be continued where they stopped. A kept game is
// a replay file written as the game goes, with a small file beside it
// (NAME.point) holding the point the game has reached: a game killed between
// inputs has played on past its last one, and continuing must get as far.
#pragma once
#include <string>

#include "platform/Files.h"
#include "replay/Replay.h"

namespace replay {

// A kept game as read back. Reading forgives what stopping leaves: a last
// line cut off while written, no end line (killed), or an end line of a
// quit with the input that quit before it; anything else wrong is damage.
struct Kept {
  Replay game;           // its header and the inputs to play again
  bool ended = false;    // it has an end line
  uint64_t mark = 0;     // the point it had reached
  int64_t keep = 0;      // the bytes of the file to keep when it goes on
  // Stopped other than by its own ending (the owner back, bankruptcy, a fault).
  bool Continuable() const { return !ended || game.end.how == "quit"; }
};
bool ReadKept(const std::string& path, Kept& out, std::string& why);
// The name of the file beside a kept game that holds its point.
std::string PointPath(const std::string& path);

// The tape of a kept game: a new one recorded from its start, or a stopped
// one given back at its points without waiting (the platform catches up
// with it in virtual time) and recorded on into the same file.
class KeptTape : public plat::Tape {
 public:
  KeptTape() = default;
  // A kept game to play again as far as it went, without recording (to see
  // how it stood).
  explicit KeptTape(const Kept& k) : inputs_(k.game.inputs), mark_(k.mark) {}
  ~KeptTape() override;
  // A new game into a new file.
  bool Start(const std::string& path, uint64_t seed, const std::string& language, std::string& why);
  // A stopped game: the file is cut to what it keeps and recorded on.
  bool Resume(const std::string& path, const Kept& k, std::string& why);
  void Finish(const Ending& end);

  bool Let(plat::Event& e) override { (void)e; return next_ == inputs_.size(); }
  bool Next(uint64_t point, uint32_t readyMs, plat::Event& e, uint32_t& holdMs) override;
  void Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) override;
  void Fired(uint64_t point) override;
  bool Behind(uint64_t point) const override { return next_ < inputs_.size() || point < mark_; }

 private:
  bool OpenPoint(std::string& why);
  void Mark(uint64_t point);
  std::vector<Input> inputs_;
  size_t next_ = 0;
  uint64_t mark_ = 0;
  bool giving_ = false;  // the input being taken is one of the kept ones
  Recorder recorder_;
  bool recording_ = false;
  std::string path_;
  plat::FileOut point_;  // NAME.point
};

}  // namespace replay
