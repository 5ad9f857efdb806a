#include "replay/Kept.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/Files.h"
#include "platform/Terminal.h"

namespace replay {
namespace {

bool Quits(const plat::Event& e) {
  // As the game takes them during play: a click counts only on the play area.
  return e.type == plat::Event::Close || (e.type == plat::Event::KeyDown && e.key == plat::kKeyEscape) ||
         (e.type == plat::Event::Click && e.x >= plat::Platform::kSurfX &&
          e.x < plat::Platform::kSurfX + plat::Platform::kSurfW && e.y >= plat::Platform::kSurfY &&
          e.y < plat::Platform::kSurfY + plat::Platform::kSurfH);
}

// The offset after the first n lines.
int64_t After(const std::string& text, size_t n) {
  size_t at = 0;
  for (size_t i = 0; i < n; ++i) at = text.find('\n', at) + 1;
  return int64_t(at);
}

// The point file: the point in 20 digits and a check of it, so that a write
// torn by a power cut is not taken for a point the game never reached.
uint64_t Check(uint64_t point) { return (point + 1) * 0x9E3779B97F4A7C15ull; }

bool ReadPoint(const std::string& path, uint64_t& out) {
  const std::vector<uint8_t> b = plat::ReadFileHead(path, 64);
  unsigned long long point = 0, check = 0;
  const std::string text(b.begin(), b.end());
  if (text.size() != 38 || std::sscanf(text.c_str(), "%20llu %16llx\n", &point, &check) != 2) return false;
  if (check != Check(point)) return false;
  out = point;
  return true;
}

}  // namespace

std::string PointPath(const std::string& path) {
  const size_t dot = path.rfind(".replay");
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ".point";
}

bool ReadKept(const std::string& path, Kept& out, std::string& why) {
  out = Kept{};
  const plat::FileRead f = plat::ReadWholeFile(path, size_t(kMaxBytes));
  if (!f.ok) return why = f.why, false;
  std::string text(f.bytes.begin(), f.bytes.end());
  // A line cut off while it was written is no damage: the game stopped there.
  text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
  out.ended = text.find("\nend ") != std::string::npos;
  // Without its end line it is read as if it had one that no point passes.
  const std::string whole = out.ended ? text : text + "end quit score 0 funds 0 ticks 18446744073709551615 record 0000000000000000\n";
  if (!Parse(whole, out.game, why)) return false;
  std::vector<Input>& in = out.game.inputs;
  if (out.ended) {
    out.mark = out.game.end.ticks;
    // A quit is taken back: what quit goes, and the game goes on from there.
    if (out.game.end.how == "quit" && !in.empty() && in.back().point == out.mark && Quits(in.back().e)) in.pop_back();
  } else {
    out.mark = in.empty() ? 0 : in.back().point;
    uint64_t p = 0;
    if (ReadPoint(PointPath(path), p) && p > out.mark) out.mark = p;
  }
  out.keep = After(text, 4 + in.size());
  return true;
}

KeptTape::~KeptTape() = default;

bool KeptTape::OpenPoint(std::string& why) {
  if (!point_.Create(PointPath(path_), /*replace=*/true, why))
    return why = "cannot write " + plat::Shown(PointPath(path_)) + ": " + why, false;
  return true;
}

bool KeptTape::Start(const std::string& path, uint64_t seed, const std::string& language, std::string& why) {
  path_ = path;
  if (!recorder_.Open(path, seed, language, /*force=*/false, why)) return false;
  recording_ = true;
  return OpenPoint(why);
}

bool KeptTape::Resume(const std::string& path, const Kept& k, std::string& why) {
  path_ = path;
  inputs_ = k.game.inputs;
  mark_ = k.mark;
  next_ = 0;
  // What continuing takes back (the quit, the end line, a half line) goes.
  if (!recorder_.Append(path, k.keep, why)) return false;
  recording_ = true;
  if (!OpenPoint(why)) return false;
  // Where it stopped holds until the game gets further.
  Mark(mark_);
  return true;
}

void KeptTape::Finish(const Ending& end) {
  if (!recording_) return;
  recorder_.Finish(end);
  // The end line says where it stopped.
  if (point_.IsOpen()) {
    point_.Discard();
    std::error_code ec;
    std::filesystem::remove(plat::FsPath(PointPath(path_)), ec);
  }
}

bool KeptTape::Next(uint64_t point, uint32_t, plat::Event& e, uint32_t&) {
  if (next_ < inputs_.size() && inputs_[next_].point < point) {
    // The game went past an input without taking it: the rules changed
    // since, and it can be followed no further.
    std::fprintf(stderr, "pikora: the kept game goes another way from point %llu on; it plays on from there\n",
                 static_cast<unsigned long long>(point));
    next_ = inputs_.size();
    mark_ = 0;
  }
  if (next_ == inputs_.size() || inputs_[next_].point != point) return false;
  e = inputs_[next_++].e;
  giving_ = true;
  return true;
}

void KeptTape::Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) {
  if (giving_) {
    giving_ = false;
    return;
  }
  if (recording_) recorder_.Taken(point, readyMs, e);
}

// One small write at each fire (twice a second), in place.
void KeptTape::Fired(uint64_t point) {
  if (point > mark_) Mark(point);
}

void KeptTape::Mark(uint64_t point) {
  if (!point_.IsOpen()) return;
  char line[48];
  const int n = std::snprintf(line, sizeof line, "%020llu %016llx\n", static_cast<unsigned long long>(point),
                              static_cast<unsigned long long>(Check(point)));
  std::string why;
  if (!point_.Rewrite(std::string(line, size_t(n)), why)) point_.Discard();
}

}  // namespace replay
