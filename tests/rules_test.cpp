// The rules at their boundaries: each row a value on one side of the point
// where a condition flips. Random draws are foreseen by a second game of the
// same seed, so the rows can name the exact draw a rule meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/kit/Pictures.h"
#include "tests/Harness.h"

using pktest::Game;

namespace {

// The first n random numbers a game of this seed draws after its set-up.
std::vector<double> Draws(uint64_t seed, int n) {
  Game p(seed);
  p.f.HenSyoki();
  std::vector<double> v;
  for (int k = 0; k < n; ++k) v.push_back(p.f.Rnd());
  return v;
}

// The first seed whose draws satisfy the test, looking at n draws.
uint64_t SeedWhere(int n, const std::function<bool(const std::vector<double>&)>& ok) {
  for (uint64_t seed = 1; seed < 20000; ++seed)
    if (ok(Draws(seed, n))) return seed;
  ADD_FAILURE() << "no seed found";
  return 1;
}

// Request kind of a staff turn's roll of 0..22, as the roster's table gives it.
int KindOfRoll(int roll) {
  const std::vector<int> rolls[6] = {{0, 1, 12}, {2, 3, 14, 20}, {4, 5, 6, 15, 16, 21}, {7, 22}, {8, 9, 17, 19}, {10, 11, 13, 18}};
  for (int kind = 0; kind <= 5; ++kind)
    for (int r : rolls[kind])
      if (r == roll) return kind;
  return -1;
}

// The index of the first draw (of Int(u * n)) that is one of the wanted values.
int FirstAt(const std::vector<double>& u, int n, const std::vector<int>& wanted) {
  for (size_t k = 0; k < u.size(); ++k)
    for (int w : wanted)
      if (int(u[k] * n) == w) return int(k);
  return -1;
}

// The starting pen and funds, employee 0 asked to take a turn, tired enough to rest.
void Asking(Game& g, int stamina = 50) {
  g.f.HenSyoki();
  g.f.Timer2.Interval(500);
  g.f.Jnow = 0;
  g.f.Jtairyoku(0) = stamina;
}

// Cell k of the pen scan: column k mod 9, row k div 9.
void PutAt(Game& g, int k, int stage, int lv = 0) { g.Put(k % 9, k / 9, stage, lv); }

}  // namespace

TEST(StaffTurn, EachRollBringsItsRequest) {
  std::vector<bool> seen(23);
  for (uint64_t seed = 1; seed < 400 && std::count(seen.begin(), seen.end(), true) < 23; ++seed) {
    const int roll = int(Draws(seed, 1)[0] * 23);
    if (seen[roll]) continue;
    seen[roll] = true;
    Game g(seed);
    Asking(g);
    g.f.JKoudou();
    EXPECT_EQ(g.f.Mode, 1) << "roll " << roll;
    EXPECT_EQ(g.f.Jsigoto(0), KindOfRoll(roll)) << "roll " << roll;
  }
  for (int r = 0; r <= 22; ++r) EXPECT_TRUE(seen[r]) << "roll " << r << " never drawn";
}

TEST(StaffTurn, StaminaTriesAndDrawsAtTheirLimits) {
  // Stamina: 15 leaves only a rest, 16 is enough for anything. The seed's
  // first six rolls are no rest, so at 15 nothing is even considered.
  const uint64_t noRest = SeedWhere(6, [](const auto& u) { return FirstAt(u, 23, {7, 22}) < 0; });
  for (int stamina : {15, 16}) {
    Game g(noRest);
    Asking(g, stamina);
    g.f.JKoudou();
    EXPECT_EQ(g.f.Mode, stamina == 16) << stamina;
    EXPECT_EQ(g.f.Jkioku(0, 0), stamina == 16 ? KindOfRoll(int(Draws(noRest, 1)[0] * 23)) : 6) << stamina;
  }
  // Six tries: with only a rest possible, a rest rolled sixth is asked for, seventh not.
  for (int at : {5, 6}) {
    const uint64_t seed = SeedWhere(7, [&](const auto& u) { return FirstAt(u, 23, {7, 22}) == at; });
    Game g(seed);
    Asking(g);
    g.EmptyPen();
    g.f.Sikin = 0;
    g.f.JKoudou();
    EXPECT_EQ(g.f.Jsigoto(0), at == 5 ? 3 : 6) << "rest rolled at try " << at + 1;
  }
  // The main tick draws five times for an idle employee, on every second tick.
  for (int at : {4, 5}) {
    const uint64_t seed = SeedWhere(6, [&](const auto& u) { return FirstAt(u, 4, {3}) == at; });
    Game g(seed);
    Asking(g);
    for (int s = 0; s <= 2; ++s) g.f.Jsigoto(s) = 1, g.f.Jkikan(s) = 200;
    g.f.Jtairyoku(3) = 50;
    g.f.Timer2_Timer();
    EXPECT_EQ(g.f.Mode, at == 4) << "idle employee drawn at " << at + 1;
  }
  for (int flip : {-1, 1}) {
    Game g;
    Asking(g);
    g.f.AniFlip = flip;
    g.f.Timer2_Timer();
    EXPECT_EQ(g.f.Mode, flip == -1) << "a staff turn when the phase turns to 1";
  }
}

// Each request procedure with one condition on either side of its limit.
TEST(Requests, EachConditionAtItsLimit) {
  struct Row {
    const char* what;
    int code;
    std::function<void(Game&)> set;
    bool raised;
  };
  auto memory = [](int slot, int code) { return [=](Game& g) { g.f.Jkioku(0, slot) = code; }; };
  const Row rows[] = {
      {"eggs, funds = price", 0, [](Game& g) { g.f.Sikin = 100; }, true},
      {"eggs, funds = price - 1", 0, [](Game& g) { g.f.Sikin = 99; }, false},
      {"eggs, 104 occupants", 0, [](Game& g) { g.f.PikoraKazu = 104; }, true},
      {"eggs, 105 occupants", 0, [](Game& g) { g.f.PikoraKazu = 105; }, false},
      {"eggs, considered 4 before", 0, memory(3, 0), false},
      {"eggs, considered 5 before", 0, memory(4, 0), true},
      {"eggs, last slot", 0, memory(5, 0), true},
      {"feed, funds = price", 1, [](Game& g) { g.f.Sikin = 30; }, true},
      {"feed, funds = price - 1", 1, [](Game& g) { g.f.Sikin = 29; }, false},
      {"feed, considered just before", 1, memory(0, 1), false},
      {"train, adult in cell 104", 2, [](Game& g) { PutAt(g, 104, 4, 100); }, true},
      {"train, adult in cell 105", 2, [](Game& g) { PutAt(g, 105, 4, 100); }, false},
      {"train, an egg only", 2, [](Game& g) { PutAt(g, 0, 0); }, false},
      {"rest, stamina 79", 3, [](Game& g) { g.f.Jtairyoku(0) = 79; }, true},
      {"rest, stamina 80", 3, [](Game& g) { g.f.Jtairyoku(0) = 80; }, false},
      {"rest, 'remembered'", 3, [](Game& g) { g.f.Jtairyoku(0) = 79, g.f.Jkioku(0, 0) = 3; }, true},
      {"warm, egg in cell 104", 4, [](Game& g) { PutAt(g, 104, 0); }, true},
      {"warm, egg in cell 105", 4, [](Game& g) { PutAt(g, 105, 0); }, false},
      {"warm, an adult only", 4, [](Game& g) { PutAt(g, 0, 4, 100); }, false},
      {"sell, adult in cell 125", 5, [](Game& g) { PutAt(g, 125, 4, 100); }, true},
      {"sell, only young", 5, [](Game& g) { PutAt(g, 125, 3); }, false},
      {"sell, another seller", 5, [](Game& g) { PutAt(g, 0, 4, 100), g.f.Jsigoto(3) = 5; }, false},
  };
  for (const Row& r : rows) {
    Game g;
    Asking(g, 100);
    g.EmptyPen();
    r.set(g);
    const int before = int(g.f.Jkioku(0, 0));
    switch (r.code) {
      case 0: g.f.TamagoKau(); break;
      case 1: g.f.EsaKau(); break;
      case 2: g.f.Kitaeru(); break;
      case 3: g.f.Yasumi(); break;
      case 4: g.f.Atatame(); break;
      default: g.f.Uru(); break;
    }
    EXPECT_EQ(g.f.Mode, r.raised) << r.what;
    EXPECT_EQ(g.f.Irai, r.raised) << r.what;
    EXPECT_EQ(g.f.Jsigoto(0), r.raised ? r.code : 6) << r.what;
    EXPECT_EQ(g.f.Timer2.Interval(), r.raised ? 0 : 500) << r.what;
    // Recorded whether raised or not; a rest never.
    EXPECT_EQ(g.f.Jkioku(0, 0), r.code == 3 ? before : r.code) << r.what;
  }
}

TEST(Answers, PermitFixesLengthAndAmountRefusalCostsTimeUnlessRest) {
  const int length[4][6] = {{15, 12, 20, 40, 20, 30}, {15, 12, 20, 30, 20, 30}, {15, 12, 20, 80, 20, 30}, {15, 12, 20, 40, 20, 30}};
  for (int s = 0; s <= 3; ++s)
    for (int code = 0; code <= 5; ++code) {
      Game g;
      g.f.HenSyoki();
      g.f.Jnow = s, g.f.Jsigoto(s) = code, g.f.Mode = 1, g.f.KaimonoKazu = 3;
      g.f.Jkioku(s, 1) = code, g.f.Jkioku(s, 5) = 2;
      g.f.Timer2.Interval(0);
      g.hp.Key(plat::kKeyLeft);
      g.f.Step();
      EXPECT_EQ(g.f.Jkikan(s), length[s][code]) << s << " " << code;
      EXPECT_EQ(g.f.Mode, 0);
      EXPECT_EQ(g.f.Timer2.Interval(), 500);
      if (code <= 1) {
        EXPECT_EQ(g.f.Jnouryoku(s, code, 0), 30);
      }
      for (int slot = 0; slot <= 5; ++slot) EXPECT_EQ(g.f.Jkioku(s, slot), 6) << "a permit clears the memory";
    }
  for (int code = 0; code <= 5; ++code) {
    Game g;
    g.f.HenSyoki();
    g.f.Jnow = 2, g.f.Jsigoto(2) = code, g.f.Mode = 1, g.f.Jkioku(2, 1) = code;
    g.hp.Key(plat::kKeyRight);
    g.f.Step();
    EXPECT_EQ(g.f.Jikan, code == 3 ? 4009 : 4009 - 35) << code;
    EXPECT_EQ(g.f.Jsigoto(2), 6);
    EXPECT_EQ(g.f.Jkioku(2, 1), code) << "a refusal keeps the memory";
    EXPECT_EQ(g.f.Mode, 0);
  }
}

// A job of length n ends on its (n + 1)-th tick, at most one a tick.
TEST(Jobs, EndOnTheTickAfterTheirLengthOneATick) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  g.f.AniFlip = 1;  // no staff turn on the first tick
  for (int s = 0; s <= 3; ++s) g.f.Jsigoto(s) = 3, g.f.Jkikan(s) = 250;
  g.f.Jsigoto(1) = 2, g.f.Jkikan(1) = 20;
  g.f.Jsigoto(2) = 2, g.f.Jkikan(2) = 20;
  for (int t = 1; t <= 20; ++t) g.f.Timer2_Timer();
  EXPECT_EQ(g.f.Jkeika(1), 20);
  EXPECT_EQ(g.f.Jsigoto(1), 2) << "still out after its 20 ticks";
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.Jsigoto(1), 6) << "back on the 21st";
  EXPECT_EQ(g.f.Jkeika(1), 0);
  EXPECT_EQ(g.f.Jkeika(2), 20) << "a later employee waits a tick when one came back";
  EXPECT_EQ(g.f.Jkeika(3), 20) << "and is not advanced either";
  g.f.AniFlip = 1;
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.Jsigoto(2), 6);
}

TEST(Jobs, PurchasesWhileMoneyAndRoomLastAndTheToll) {
  struct Row {
    const char* what;
    int s, job, amount, empty, funds;
    int bought, fundsAfter;
  };
  const Row rows[] = {
      {"eggs, room for 5 of 10", 0, 0, 10, 5, 2000, 5, 1500},
      {"eggs, funds = one egg", 0, 0, 10, 126, 100, 1, 0},
      {"eggs, funds below one egg", 0, 0, 10, 126, 99, 0, 99},
      {"eggs, the last empty cell", 2, 0, 10, 1, 2000, 1, 1920},
      {"feed, 30 units for 250 at 20", 2, 1, 30, 0, 250, 12, 10},
      {"feed, funds = one unit", 3, 1, 10, 0, 50, 1, 0},
  };
  for (const Row& r : rows) {
    Game g(5);
    g.f.HenSyoki();
    g.EmptyPen();
    for (int k = 0; k < 126 - r.empty; ++k) PutAt(g, k, 3);
    g.f.Jnow = r.s, g.f.Jsigoto(r.s) = r.job, g.f.Sikin = r.funds, g.f.Esa = 0;
    g.f.Jnouryoku(r.s, r.job, 0) = r.amount;
    g.f.SigotoEnd();
    const int64_t got = r.job == 0 ? g.f.PikoraKazu - (126 - r.empty) : g.f.Esa / 100;
    EXPECT_EQ(got, r.bought) << r.what;
    EXPECT_EQ(g.f.Sikin, r.fundsAfter) << r.what;
    EXPECT_EQ(g.f.PikoraKazu, g.Occupants()) << r.what;
    for (int k = 126 - r.empty; r.job == 0 && k < 126; ++k)  // into the first empty cells, row by row
      EXPECT_EQ(g.f.PikoraSyu(k % 9, k / 9), k < 126 - r.empty + r.bought ? 0 : 5) << r.what << " cell " << k;
    const int hirou[4] = {15, 10, 40, 5};
    EXPECT_EQ(g.f.Jtairyoku(r.s), 100 - (int(Draws(5, 1)[0] * 11) + hirou[r.s])) << r.what;
    EXPECT_EQ(g.f.Jsigoto(r.s), 6);
  }
  // The toll stops at 0; a rest brings stamina back to 100 with no toll.
  Game g;
  g.f.HenSyoki();
  g.f.Jnow = 2, g.f.Jsigoto(2) = 2, g.f.Jtairyoku(2) = 39;
  g.f.SigotoEnd();
  EXPECT_EQ(g.f.Jtairyoku(2), 0);
  g.f.Jsigoto(2) = 3;
  g.f.SigotoEnd();
  EXPECT_EQ(g.f.Jtairyoku(2), 100);
}

TEST(Jobs, ASaleTakesEveryAdultAtItsPriceUpTo999) {
  struct Row { int seller, strength, price; };
  const Row rows[] = {{3, 999, 999}, {3, 1000, 999}, {3, 5000, 999}, {0, 100, 120}, {2, 101, 151}, {1, 9, 10}};
  for (const Row& r : rows) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.Put(8, 13, 4, r.strength);
    g.Put(0, 0, 3, 7);
    g.f.Jnow = r.seller, g.f.Score = 0;
    g.f.Pikora();
    EXPECT_EQ(g.f.Sikin, 2000 + r.price) << r.seller << " " << r.strength;
    EXPECT_EQ(g.f.Score, r.price / 10);
    EXPECT_EQ(g.f.PikoraSyu(8, 13), 5);
    EXPECT_EQ(g.f.PikoraSyu(0, 0), 3) << "the young stay";
    EXPECT_EQ(g.f.PikoraKazu, 1);
  }
}

TEST(PenPasses, TrainingAndWarmingAtTheirLimits) {
  struct Row { int feed; int gained, feedAfter; };
  for (const Row& r : {Row{2, 10, 0}, Row{1, 0, 1}, Row{0, 0, 0}}) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.Put(8, 13, 4, 100);
    g.f.Esa = r.feed;
    g.f.TrainingPass(2);
    EXPECT_EQ(g.f.PikoraLv(8, 13), 100 + r.gained) << r.feed;
    EXPECT_EQ(g.f.Esa, r.feedAfter) << r.feed;
  }
  Game t;  // feed for one adult only: the first in walk order, column by column
  t.f.HenSyoki();
  t.EmptyPen();
  t.Put(1, 0, 4, 100), t.Put(0, 13, 4, 100);
  t.f.Esa = 3;
  t.f.TrainingPass(3);
  EXPECT_EQ(t.f.PikoraLv(0, 13), 108);
  EXPECT_EQ(t.f.PikoraLv(1, 0), 100);
  EXPECT_EQ(t.f.Esa, 1);

  for (int s = 0; s <= 3; ++s) {
    Game g(11 + s);
    g.f.HenSyoki();
    g.EmptyPen();
    g.Put(8, 13, 0, 50), g.Put(0, 0, 4, 100);
    g.f.WarmingPass(s);
    const int power[4] = {2, 3, 8, 5};
    EXPECT_EQ(g.f.PikoraLv(8, 13), 52 + int(power[s] * Draws(11 + s, 1)[0])) << s;
    EXPECT_EQ(g.f.PikoraLv(0, 0), 100) << "only eggs are warmed";
  }
}

// Every occupant, up to the pen's last row and column, is drawn in the pose
// of the tick; empty cells are left as they are.
TEST(PenPasses, EveryOccupantIsDrawnInItsPose) {
  const int pose[2][5] = {{30, 18, 24, 20, 31}, {30, 19, 25, 26, 32}};
  for (int flip : {-1, 1}) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    const int cells[5][2] = {{0, 0}, {8, 0}, {0, 13}, {8, 13}, {4, 7}};
    for (int stage = 0; stage <= 4; ++stage) g.Put(cells[stage][0], cells[stage][1], stage);
    g.f.AniFlip = flip;
    g.f.PetHyouji();
    for (int stage = 0; stage <= 4; ++stage) {
      const int chip = pose[flip > 0][stage], x = (cells[stage][0] + 13) * 32, y = (cells[stage][1] + 2) * 32;
      bool same = true;
      for (int dy = 0; dy < 32; ++dy)
        for (int dx = 0; dx < 32; ++dx)
          same = same && g.f.Display(0).At(x + dx, y + dy) == g.f.Chip().At(chip % 6 * 32 + dx, chip / 6 * 32 + dy);
      EXPECT_TRUE(same) << "stage " << stage << " phase " << flip + 1;
    }
  }
}

TEST(PenPasses, HatchingAndGrowthAtTheirThresholds) {
  for (int warmth : {100, 101}) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.Put(8, 13, 0, warmth, 40);
    g.f.GrowthPass();
    EXPECT_EQ(g.f.PikoraSyu(8, 13), warmth > 100 ? 1 : 0) << warmth;
    EXPECT_EQ(g.f.PikoraLv(8, 13), warmth > 100 ? 0 : warmth);
    EXPECT_EQ(g.f.PikoraHp(8, 13), warmth > 100 ? 100 : 40);
  }
  // A young creature grows once its growth passes Int(u * 10) + 30 (+ 40 at
  // stage 3); u is the draw after its growth is raised.
  for (int stage = 1; stage <= 3; ++stage)
    for (int over : {0, 1}) {
      const uint64_t seed = 20 + stage;
      const int threshold = int(Draws(seed, 1)[0] * 10) + (stage == 3 ? 40 : 30);
      Game g(seed);
      g.f.HenSyoki();
      g.EmptyPen();
      g.Put(8, 13, stage, threshold - 1 + over, 60);
      g.f.GrowthPass();
      EXPECT_EQ(g.f.PikoraSyu(8, 13), stage + over) << stage << " " << over;
      EXPECT_EQ(g.f.PikoraLv(8, 13), over ? (stage == 3 ? 100 : 0) : threshold) << stage << " " << over;
    }
}

TEST(PenPasses, FeedingAtItsLimits) {
  struct Row {
    const char* what;
    int stage, feed, hp, lv;
    int feedAfter, hpAfter, lvAfter;
  };
  const Row rows[] = {
      {"last ration", 1, 1, 99, 5, 0, 100, 5},
      {"full stays full", 2, 1, 100, 5, 0, 100, 5},
      {"hungry to exactly 0", 3, 0, 15, 5, 0, 0, 5},
      {"hungry below 0", 3, 0, 14, 5, 0, 0, 4},
      {"growth 2 falls to 1", 1, 0, 0, 2, 0, 0, 1},
      {"growth 1 stays", 1, 0, 0, 1, 0, 0, 1},
      {"adult goes below 0", 4, 0, 10, 300, 0, -5, 300},
      {"an egg is not fed", 0, 5, 50, 7, 5, 50, 7},
  };
  for (const Row& r : rows) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.Put(8, 13, r.stage, r.lv, r.hp);
    g.f.Esa = r.feed;
    g.f.FeedingPass();
    EXPECT_EQ(g.f.Esa, r.feedAfter) << r.what;
    EXPECT_EQ(g.f.PikoraHp(8, 13), r.hpAfter) << r.what;
    EXPECT_EQ(g.f.PikoraLv(8, 13), r.lvAfter) << r.what;
  }
}

// The main tick: time and wages, then bankruptcy and the end of time when
// funds or time fall below zero, bankruptcy first.
TEST(MainTick, WagesTimeAndTheEndChecksAtZero) {
  struct Row {
    int funds, time;
    int mode, fundsAfter, timeAfter;
  };
  const Row rows[] = {{4, 3, 0, 0, 0}, {3, 3, 2, 0, 0}, {4, 2, 3, 0, 0}, {3, 2, 3, 0, 0}, {2000, 4009, 0, 1996, 4006}};
  for (const Row& r : rows) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.f.AniFlip = 1;
    g.f.Timer2.Interval(500);
    g.f.Sikin = r.funds, g.f.Jikan = r.time;
    g.f.Timer2_Timer();
    EXPECT_EQ(g.f.Mode, r.mode) << r.funds << " " << r.time;
    EXPECT_EQ(g.f.Sikin, r.fundsAfter) << r.funds << " " << r.time;
    EXPECT_EQ(g.f.Jikan, r.timeAfter) << r.funds << " " << r.time;
    EXPECT_EQ(g.f.Timer2.Interval(), r.mode ? 0 : 500);
    const auto& log = g.hp.audio.log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "close"), (r.funds < 4) + (r.time < 3)) << "each end closes the music";
  }
  const int wage[7] = {3, 3, 3, 0, 3, 5, 1};
  for (int job = 0; job <= 6; ++job) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    g.f.AniFlip = 1;
    g.f.Jsigoto(1) = job, g.f.Jkikan(1) = 100;
    g.f.Timer2_Timer();
    EXPECT_EQ(g.f.Sikin, 2000 - 3 - wage[job]) << job;
  }
}

TEST(MainTick, ComesEvery500msFromTheEndOfTheIntro) {
  Game g;
  g.f.Form_Load();
  for (int s = 0; s <= 3; ++s) g.f.Jsigoto(s) = pk::kRest, g.f.Jkikan(s) = 250;  // nobody asks
  std::vector<uint32_t> at;
  for (int time = int(g.f.Jikan); at.size() < 4 && g.f.Step();)
    if (g.f.Jikan != time) time = int(g.f.Jikan), at.push_back(g.hp.Ticks());
  ASSERT_EQ(at.size(), 4u);
  EXPECT_GE(at[0], 4000u) << "the first tick comes after the logo and the title";
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(at[k] - at[k - 1], 500u);
}

// The time is shown in whole units rounded down: a tenth below zero is -1.
TEST(StatusPanel, ShowsTheTimeRoundedDown) {
  auto panel = [](int time) {
    Game g;
    g.f.HenSyoki();
    g.f.Jikan = time;
    g.f.Sthyouji();
    std::vector<plat::Color> v;
    for (int y = 60; y < 210; ++y)
      for (int x = 130; x < 230; ++x) v.push_back(g.f.Display(0).At(x, y));
    return v;
  };
  const int same[][2] = {{0, 9}, {-1, -10}, {-11, -20}, {-21, -30}};
  for (const auto& pair : same) EXPECT_EQ(panel(pair[0]), panel(pair[1])) << pair[0] << " " << pair[1];
  for (int t : {-1, -11, -21}) EXPECT_NE(panel(t), panel(t + 1)) << t;
}

TEST(Keys, BetweenRequestsOnlyTheAmountMovesWithinOneToFive) {
  Game g;
  g.f.HenSyoki();
  g.f.Display_KeyDown(plat::kKeyLeft);
  g.f.Display_KeyDown(plat::kKeyRight);
  g.f.Display_KeyDown('A');
  EXPECT_TRUE(g.hp.audio.log.empty()) << "Left and Right answer nothing between requests";
  EXPECT_EQ(g.f.Mode, 0);
  EXPECT_EQ(g.f.Jikan, 4009);
  const int keys[] = {plat::kKeyDown, plat::kKeyUp, plat::kKeyUp, plat::kKeyUp, plat::kKeyUp, plat::kKeyUp, plat::kKeyDown};
  const int amount[] = {1, 2, 3, 4, 5, 5, 4};
  const int sounds[] = {0, 1, 2, 3, 4, 4, 5};
  for (int k = 0; k < 7; ++k) {
    g.f.Display_KeyDown(keys[k]);
    EXPECT_EQ(g.f.KaimonoKazu, amount[k]) << k;
    EXPECT_EQ(g.hp.audio.Effects().size(), size_t(sounds[k])) << k;
  }
  // While a request waits every key first looks at the music, and starts a
  // finished tune again from the top; between requests no key does.
  for (int mode : {0, 1}) {
    Game m;
    m.f.HenSyoki();
    m.f.OpenM(1);
    m.f.Mode = mode, m.f.Jnow = 0, m.f.Jsigoto(0) = 1;
    m.f.Display_KeyDown('A');
    const auto& log = m.hp.audio.log;
    const std::vector<std::string> want = mode ? std::vector<std::string>{"rewind", "play"} : std::vector<std::string>{};
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end()), want) << mode;
  }
}

TEST(Ending, TheRollAndThePictureFollowTheScoreAbove9999) {
  // Decoded first, as the game does: decoded only after many prints,
  // SDL_image's SVG reader is caught by AddressSanitizer reading two bytes
  // past a buffer of its own.
  plat::SharedPictures(look::kPictures);
  // A region of surface 0 as it stands.
  auto region = [](Game& g, int x, int y, int w, int h) {
    std::vector<plat::Color> v;
    for (int yy = y; yy < y + h; ++yy)
      for (int xx = x; xx < x + w; ++xx) v.push_back(g.f.Display(0).At(xx, yy));
    return v;
  };
  auto page = [&](int score, int p) {
    Game g;
    g.f.HenSyoki();
    g.f.Score = score, g.f.Mode = 3, g.f.EDpage = p;
    g.f.EDmoji(p);
    return region(g, 170, 250, 180, 120);
  };
  for (int p = 3; p <= 6; ++p) {
    EXPECT_EQ(page(9999, p), page(0, p)) << "page " << p;
    EXPECT_EQ(page(10000, p), page(32767, p)) << "page " << p;
    EXPECT_NE(page(10000, p), page(9999, p)) << "page " << p;
  }
  for (int score : {9999, 10000}) {
    Game g;
    g.f.HenSyoki();
    g.f.Score = score, g.f.EDpage = 9;
    g.f.EDmoji(9);
    const plat::Surface& pic = g.f.EndP(score > 9999 ? 0 : 1);
    std::vector<plat::Color> want;
    for (int y = 0; y < 330; ++y)
      for (int x = 0; x < 260; ++x) want.push_back(pic.At(x, y));
    EXPECT_EQ(region(g, 465, 137, 260, 330), want) << score;
  }
  // Page 1 skips the sale page when no grown creature is left anywhere in the pen.
  for (bool adult : {false, true}) {
    Game g;
    g.f.HenSyoki();
    g.EmptyPen();
    if (adult) g.Put(8, 13, 4, 100);
    g.f.Mode = 3, g.f.EDpage = 0;
    g.f.Display_KeyDown('A');
    EXPECT_EQ(g.f.EDpage, adult ? 1 : 2) << adult;
  }
}
