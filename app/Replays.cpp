#include "app/Replays.h"

#include <cstdio>
#include <set>

#include "core/Form.h"
#include "platform/Terminal.h"

namespace app {
namespace {

// Says how a game ended elsewhere than its file says; status 1.
int Elsewhere(const std::string& path, const replay::Replay& r, const replay::Ending& got, size_t left) {
  std::string why = "recorded '" + replay::Describe(r.end) + "' (record " + r.end.record + "), played '" +
                    replay::Describe(got) + "' (record " + got.record + ")";
  if (left) why += ", with " + std::to_string(left) + " recorded inputs never taken";
  if (r.game != PIKORA_VERSION) why += "; it was recorded by version " + r.game + ", this is " + PIKORA_VERSION;
  std::fprintf(stderr, "pikora: %s: the game ends elsewhere than recorded: %s\n", plat::Shown(path).c_str(), why.c_str());
  return 1;
}

}  // namespace

bool LoadReplay(const std::string& path, replay::Replay& out) {
  std::string why;
  if (replay::Load(path, out, why)) {
    if (out.format < replay::kFormat)
      std::fprintf(stderr, "pikora: %s: a replay of format %d: its record digest is of an older kind, so the outcome, "
                   "score, funds and ticks are checked but not the record\n", plat::Shown(path).c_str(), out.format);
    return true;
  }
  std::fprintf(stderr, "pikora: %s: %s\n", plat::Shown(path).c_str(), why.c_str());
  return false;
}

int Verify(const std::string& path) {
  replay::Replay r;
  if (!LoadReplay(path, r)) return 2;
  // The game record is the same in every language, so one this game lacks
  // changes nothing of the check; it is only said.
  std::set<std::string> codes;
  if (plat::CarriedLanguages().Find(r.language) < 0) codes.insert(r.language);
  for (const replay::Input& in : r.inputs)
    if (!in.language.empty()) codes.insert(in.language);
  std::string lacking;
  for (const std::string& c : codes) lacking += (lacking.empty() ? "" : "', '") + c;
  if (!lacking.empty())
    std::fprintf(stderr, "pikora: %s: played in '%s', which this game does not have; the check does not depend on it\n",
                 plat::Shown(path).c_str(), lacking.c_str());
  size_t left = 0;
  const replay::Ending got = replay::PlayBlind(r, &left);
  std::printf("%s\n", replay::Describe(got).c_str());
  return replay::EndsAsRecorded(r, got) && left == 0 ? 0 : Elsewhere(path, r, got, left);
}

int AfterReplay(plat::Platform& p, const pk::Form1& f, const replay::Player& tape, const replay::Replay& r) {
  if (tape.QuitByPlayer()) return 0;
  const replay::Ending got = replay::Conclude(f, p.Point(), false);
  std::printf("%s\n", replay::Describe(got).c_str());
  std::fflush(stdout);
  const int status = replay::EndsAsRecorded(r, got) && tape.Spent() ? 0 : Elsewhere("the replay", r, got, tape.Left());
  std::fprintf(stderr, "pikora: the replay is over; Escape, a click or closing the window ends it\n");
  // The last picture stays; the platform's own keys still work meanwhile.
  for (plat::Event e;;) {
    while (p.PollEvent(e))
      if (e.type != plat::Event::KeyDown || e.key == plat::kKeyEscape) return status;
    if (!p.WaitEvent(-1)) return status;
  }
}

}  // namespace app
