// What finished jobs bring: eggs, feed, rest, sales, and the stamina toll.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

void FillPen(pk::Form1& f, int stage) {
  for (int c = 0; c <= 9; ++c)
    for (int r = 0; r <= 14; ++r) f.PikoraSyu(c, r) = 5;
  f.PikoraKazu = 0;
  if (stage == 5) return;
  for (int c = 0; c <= 8; ++c)
    for (int r = 0; r <= 13; ++r) {
      f.PikoraSyu(c, r) = stage;
      f.PikoraLv(c, r) = 10;
      ++f.PikoraKazu;
    }
}

void Vacate(pk::Form1& f, int c, int r) {
  f.PikoraSyu(c, r) = 5;
  --f.PikoraKazu;
}

// Employee s comes back from a job of this kind.
void Finish(pk::Form1& f, int s, int job) {
  f.Jnow = s;
  f.Jsigoto(s) = job;
  f.SigotoEnd();
}

double NthDraw(uint64_t seed, int n) {
  Game t(seed);
  t.f.HenSyoki();
  double u = 0;
  for (int k = 0; k < n; ++k) u = t.f.Rnd();
  return u;
}

// One main tick; a request that a staff turn raises is taken back unanswered.
void Tick(pk::Form1& f) {
  f.Timer2_Timer();
  if (f.Mode == 1) {
    f.Jsigoto(f.Jnow) = 6;
    f.Mode = 0;
    f.Timer2.Interval(500);
  }
}

// The other employees away on a long rest: no staff turn, no wage.
void SendOthersToRest(pk::Form1& f, int except) {
  for (int s = 0; s <= 3; ++s)
    if (s != except) {
      f.Jsigoto(s) = 3;
      f.Jkikan(s) = 250;
      f.Jkeika(s) = 0;
    }
}

}  // namespace

TEST(EggTrip, TenEggsWithFiveCellsLeftPlaceFiveAndPayFive) {
  Game g;
  g.f.HenSyoki();
  FillPen(g.f, 3);
  for (int k : {3, 40, 77, 100, 125}) Vacate(g.f, k % 9, k / 9);
  g.f.Jnouryoku(1, 0, 0) = 10;  // employee 1 pays 120 an egg
  g.f.Sikin = 5000;
  Finish(g.f, 1, 0);
  EXPECT_EQ(g.f.Sikin, 5000 - 5 * 120);
  EXPECT_EQ(g.f.PikoraKazu, 126);
  for (int k : {3, 40, 77, 100, 125}) EXPECT_EQ(g.f.PikoraSyu(k % 9, k / 9), 0) << "cell " << k;
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>(5, 5));
  EXPECT_EQ(g.f.PikoraSyu(0, 14), 5) << "nothing is put outside the pen";
  EXPECT_EQ(g.f.Jsigoto(1), 6);

  // A full pen takes no egg and costs nothing.
  const int64_t funds = g.f.Sikin;
  Finish(g.f, 1, 0);
  EXPECT_EQ(g.f.Sikin, funds);
  EXPECT_EQ(g.f.PikoraKazu, 126);
  EXPECT_EQ(g.hp.audio.Effects().size(), 5u);
}

TEST(EggTrip, EggsGoIntoTheFirstEmptyCellsRowByRowWhileMoneyLasts) {
  Game g;
  g.f.HenSyoki();
  FillPen(g.f, 4);
  // Row by row (1,0) and (8,0) come first; column by column (0,1) would.
  for (auto [c, r] : {std::pair{1, 0}, {8, 0}, {0, 1}, {5, 13}}) Vacate(g.f, c, r);
  g.f.PikoraLv(1, 0) = 500;  // left behind by a sale
  g.f.PikoraHp(1, 0) = -30;
  g.f.Jnouryoku(0, 0, 0) = 10;
  g.f.Sikin = 250;  // employee 0 pays 100 an egg: two eggs
  auto& sheet = g.hp.PaintablePictures().Chip;
  sheet.Box(0, 5 * 32, 31, 5 * 32 + 31, plat::Rgb(1, 2, 3), true);  // chip 30, the egg
  Finish(g.f, 0, 0);
  EXPECT_EQ(g.f.Sikin, 50);
  EXPECT_EQ(g.f.PikoraSyu(1, 0), 0);
  EXPECT_EQ(g.f.PikoraSyu(8, 0), 0);
  EXPECT_EQ(g.f.PikoraSyu(0, 1), 5);
  EXPECT_EQ(g.f.PikoraSyu(5, 13), 5);
  EXPECT_EQ(g.f.PikoraLv(1, 0), 0);
  EXPECT_EQ(g.f.PikoraHp(1, 0), 100);
  EXPECT_EQ(g.f.PikoraKazu, 124);
  EXPECT_EQ(g.f.Display(0).At((8 + 13) * 32 + 5, 2 * 32 + 5), plat::Rgb(1, 2, 3)) << "the pen is redrawn";
}

TEST(EggTrip, FundsOfExactlyOneEggBuyOne) {
  Game g;
  g.f.HenSyoki();
  g.f.Jnouryoku(3, 0, 0) = 20;
  g.f.Sikin = 150;
  const int before = g.Occupants();
  Finish(g.f, 3, 0);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.Occupants(), before + 1);
  EXPECT_EQ(g.f.PikoraKazu, 24);
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>{5});
}

TEST(FeedTrip, UnitsAreBoughtWhileTheyCanBePaid) {
  Game g;
  g.f.HenSyoki();
  g.f.Jnouryoku(2, 1, 0) = 30;  // 20 a unit
  g.f.Sikin = 250;
  g.f.Esa = 7;
  Finish(g.f, 2, 1);
  EXPECT_EQ(g.f.Esa, 1207);
  EXPECT_EQ(g.f.Sikin, 10);
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>(12, 6));
  EXPECT_EQ(g.f.Jsigoto(2), 6);

  g.f.Sikin = 40;  // exactly two units
  Finish(g.f, 2, 1);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.f.Esa, 1407);
}

TEST(Rest, EmployeeTwoIsAwayEightyOneTicksAndComesBackFreshWithoutToll) {
  Game g;
  g.f.HenSyoki();
  SendOthersToRest(g.f, 2);
  g.f.Jsigoto(2) = 3;
  g.f.Jkikan(2) = int(g.f.Jnouryoku(2, 3, 0));
  g.f.Jkeika(2) = 0;
  g.f.Jtairyoku(2) = 5;
  int ticks = 0;
  while (g.f.Jsigoto(2) == 3) {
    Tick(g.f);
    ASSERT_LE(++ticks, 100);
  }
  EXPECT_EQ(ticks, 81);
  EXPECT_EQ(g.f.Jtairyoku(2), 100);
  EXPECT_EQ(g.f.Sikin, 2000) << "resting costs no wage";
}

TEST(StaminaToll, OneDrawAfterEveryJobButRestWithinEachEmployeesRange) {
  const int hirou[4] = {15, 10, 40, 5};
  for (int s = 0; s <= 3; ++s) {
    Game g(s + 1), twin(s + 1);  // the twin draws once for every job
    g.f.HenSyoki();
    twin.f.HenSyoki();
    int lo = 100, hi = 0;
    for (int trip = 0; trip < 100; ++trip) {
      g.f.Jtairyoku(s) = 100;
      Finish(g.f, s, trip % 2 ? 2 : 4);  // training and warming bring nothing else
      const int toll = 100 - int(g.f.Jtairyoku(s));
      ASSERT_EQ(toll, hirou[s] + int(twin.f.Rnd() * 11)) << "employee " << s << " trip " << trip;
      ASSERT_EQ(g.f.Jsigoto(s), 6);
      lo = std::min(lo, toll);
      hi = std::max(hi, toll);
    }
    EXPECT_EQ(lo, hirou[s]);
    EXPECT_EQ(hi, hirou[s] + 10);
  }

  Game g(9);
  g.f.HenSyoki();
  g.f.Jtairyoku(2) = 30;
  Finish(g.f, 2, 2);
  EXPECT_EQ(g.f.Jtairyoku(2), 0) << "stamina stops at 0";
  g.f.Jtairyoku(2) = 30;
  Finish(g.f, 2, 3);
  EXPECT_EQ(g.f.Jtairyoku(2), 100);
  EXPECT_EQ(g.f.Rnd(), NthDraw(9, 2)) << "a rest takes no draw";
}

TEST(SaleTrip, SellsEveryAdultAndLeavesTheWarmersAtWork) {
  Game g;
  g.f.HenSyoki();
  FillPen(g.f, 5);
  for (int c = 0; c <= 8; ++c) {
    g.f.PikoraSyu(c, 7) = 4;
    g.f.PikoraLv(c, 7) = 100;
    ++g.f.PikoraKazu;
  }
  g.f.Jsigoto(3) = 4;
  g.f.Jkikan(3) = 20;
  g.f.Jkeika(3) = 5;
  Finish(g.f, 1, 5);  // factor 12: 120 each
  EXPECT_EQ(g.f.Sikin, 2000 + 9 * 120);
  EXPECT_EQ(g.f.Score, 9 * 12);
  EXPECT_EQ(g.f.PikoraKazu, 0);
  EXPECT_EQ(g.f.Jsigoto(3), 4);
  EXPECT_EQ(g.f.Jkeika(3), 5);
}

TEST(TrainingTrip, ActsOnEveryAdvancingTickOfTheJob) {
  Game g;
  g.f.HenSyoki();
  FillPen(g.f, 5);
  g.f.PikoraSyu(4, 4) = 4;
  g.f.PikoraLv(4, 4) = 100;
  g.f.PikoraKazu = 1;
  g.f.Esa = 1000;
  SendOthersToRest(g.f, 3);
  g.f.Jsigoto(3) = 2;  // power 8
  g.f.Jkikan(3) = 20;
  g.f.Jkeika(3) = 0;
  int ticks = 0;
  while (g.f.Jsigoto(3) == 2) {
    Tick(g.f);
    ASSERT_LE(++ticks, 30);
  }
  EXPECT_EQ(ticks, 21);
  EXPECT_EQ(g.f.PikoraLv(4, 4), 100 + 21 * 8);
  EXPECT_EQ(g.f.Esa, 1000 - 21 * 2 - 21) << "two per training, one per meal";
}
