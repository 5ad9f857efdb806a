// Whole games of random play: after every handled event the game's
// invariants hold. PIKORA_SOAK_GAMES sets how many games (default 2000),
// PIKORA_SOAK_FIRST the first seed; a failure names its seed and key script,
// and PIKORA_SOAK_FIRST=<seed> PIKORA_SOAK_GAMES=1 replays it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>

#include "tests/Pixels.h"
#include "tests/Play.h"

using pktest::Game;
using pktest::RandomPlayer;

namespace {

uint64_t EnvOr(const char* name, uint64_t dflt) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : dflt;
}

// Returns an empty string when all holds, else what broke.
std::string CheckInvariants(Game& g, int modeBefore) {
  pk::Form1& f = g.f;
  const int mode = int(f.Mode);
  static const std::set<std::pair<int, int>> allowed = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2},
                                                         {0, 3}, {2, 2}, {3, 3}};
  if (!allowed.count({modeBefore, mode}))
    return "mode moved from " + std::to_string(modeBefore) + " to " + std::to_string(mode);
  if (f.PikoraKazu != g.Occupants())
    return "PikoraKazu " + std::to_string(f.PikoraKazu) + " but " + std::to_string(g.Occupants()) + " occupied";
  if (f.Sikin < 0) return "funds negative after a tick";
  if (mode != 0 && f.Timer2.Interval() != 0) return "main tick running in mode " + std::to_string(mode);
  if (mode == 0 && f.Timer2.Interval() != 500) return "main tick stopped in play";
  if (f.Timer1.Interval() != 0) return "title timer still running";
  if (mode == 1 && f.Jsigoto(f.Jnow) == 6) return "a request waits but its employee is idle";
  for (int s = 0; s <= 3; ++s) {
    if (f.Jsigoto(s) > 6) return "bad job code";
    if (f.Jsigoto(s) == 6 && f.Jkeika(s) != 0) return "idle employee with elapsed ticks";
    if (f.Jsigoto(s) != 6 && f.Jkeika(s) > f.Jkikan(s)) return "job ran past its length";
    if (f.Jtairyoku(s) < 0 || f.Jtairyoku(s) > 100) return "stamina out of 0..100";
  }
  if (f.KaimonoKazu < 1 || f.KaimonoKazu > 5) return "amount selector out of 1..5";
  if (f.EDpage > 10) return "ending page past 10";
  return "";
}

struct Outcome {
  int64_t ticks = 0;
  int lastMode = 0;
};

// Plays one whole game; fails the test with the seed and script on a breach.
Outcome PlayOne(uint64_t seed) {
  Game g(seed);
  RandomPlayer player(seed);
  Outcome out;
  std::string broke;
  try {
    g.Boot();
    int before = int(g.f.Mode);
    int jikan = int(g.f.Jikan);
    for (int steps = 0; steps < 2000000; ++steps) {
      player.Feed(g.hp, g.f);
      if (!g.f.Step()) break;
      if (g.f.Jikan != jikan) {
        ++out.ticks;
        jikan = int(g.f.Jikan);
      }
      broke = CheckInvariants(g, before);
      if (!broke.empty()) break;
      before = int(g.f.Mode);
    }
    if (broke.empty() && !g.f.Ended()) broke = "game did not end";
  } catch (const pk::FatalError& e) {
    broke = std::string("fatal error: ") + e.what();
  }
  out.lastMode = int(g.f.Mode);
  if (!broke.empty())
    ADD_FAILURE() << "seed " << seed << ": " << broke << "\nreplay: PIKORA_SOAK_FIRST=" << seed
                  << " PIKORA_SOAK_GAMES=1 build/pikora_tests --gtest_filter='Soak.*'"
                  << "\nkeys (ms:key): " << player.Script();
  return out;
}

}  // namespace

TEST(Soak, RandomPlayKeepsEveryInvariantToTheEnd) {
  const uint64_t first = EnvOr("PIKORA_SOAK_FIRST", 1);
  const uint64_t games = EnvOr("PIKORA_SOAK_GAMES", 2000);
  const auto t0 = std::chrono::steady_clock::now();
  int64_t ticks = 0;
  int endings[4] = {};
  for (uint64_t seed = first; seed < first + games; ++seed) {
    Outcome o = PlayOne(seed);
    ticks += o.ticks;
    ++endings[o.lastMode];
    if (HasFailure()) break;
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("soak: %llu games, %lld ticks, %.1f s; ended in play %d, request %d, bankruptcy %d, roll %d\n",
              (unsigned long long)games, (long long)ticks, secs, endings[0], endings[1], endings[2], endings[3]);
}

TEST(Determinism, SameSeedAndKeysGiveTheSameRecordAndScreen) {
  auto run = [](uint64_t seed, std::string& dump, uint64_t& hash) {
    Game g(seed);
    RandomPlayer player(seed);
    g.Boot();
    // Stop in the middle of the game, where most of the record is in play.
    while (g.f.Jikan > 2000 && g.f.Mode < 2) {
      player.Feed(g.hp, g.f);
      if (!g.f.Step()) break;
    }
    dump = pktest::DumpRecord(g.f);
    hash = pktest::Hash(g.f.Display(0));
  };
  for (uint64_t seed : {7ull, 2024ull}) {
    std::string d1, d2;
    uint64_t h1 = 0, h2 = 0;
    run(seed, d1, h1);
    run(seed, d2, h2);
    EXPECT_EQ(d1, d2) << "seed " << seed;
    EXPECT_EQ(h1, h2) << "seed " << seed;
  }
  std::string a, b;
  uint64_t ha = 0, hb = 0;
  run(7, a, ha);
  run(8, b, hb);
  EXPECT_NE(a, b) << "different seeds should play differently";
}
