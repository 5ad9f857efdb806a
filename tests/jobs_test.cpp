// What finished jobs bring: eggs, feed, rest, sales, and the stamina toll.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

// Employee s comes back from a job of this kind.
void Finish(pk::Form1& f, int s, int job) {
  f.Jnow = s;
  f.Jsigoto(s) = job;
  f.SigotoEnd();
}

}  // namespace

TEST(EggTrip, EggsFillTheFirstEmptyCellsRowByRowWhileMoneyAndRoomLast) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  for (int k = 0; k <= 125; ++k) g.Put(k % 9, k / 9, 3, 10);
  // Row by row (8,0) comes before (0,1); column by column it would not.
  for (int k : {1, 8, 9, 100, 125}) g.f.PikoraSyu(k % 9, k / 9) = 5, --g.f.PikoraKazu;
  g.f.PikoraHp(1, 0) = -30;  // left behind by a sale
  g.f.PikoraLv(1, 0) = 500;
  g.hp.PaintablePictures().Chip.Box(0, 5 * 32, 31, 5 * 32 + 31, plat::Rgb(1, 2, 3), true);  // the egg
  g.f.Jnouryoku(1, 0, 0) = 10;  // employee 1 pays 120 an egg
  g.f.Sikin = 240;              // exactly two
  Finish(g.f, 1, 0);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.f.PikoraSyu(8, 0), 0);
  EXPECT_EQ(g.f.PikoraSyu(0, 1), 5);
  EXPECT_EQ(g.f.PikoraLv(1, 0), 0);
  EXPECT_EQ(g.f.PikoraHp(1, 0), 100);
  EXPECT_EQ(g.f.Display(0).At((8 + 13) * 32 + 5, 2 * 32 + 5), plat::Rgb(1, 2, 3)) << "the pen is redrawn";
  EXPECT_EQ(g.f.Jsigoto(1), 6);

  g.f.Sikin = 5000;  // ten eggs, three cells: three placed and paid
  Finish(g.f, 1, 0);
  EXPECT_EQ(g.f.Sikin, 5000 - 3 * 120);
  EXPECT_EQ(g.f.PikoraKazu, 126);
  for (int k : {9, 100, 125}) EXPECT_EQ(g.f.PikoraSyu(k % 9, k / 9), 0) << "cell " << k;
  EXPECT_EQ(g.f.PikoraSyu(0, 14), 5) << "nothing is put outside the pen";
  Finish(g.f, 1, 0);  // a full pen takes no egg and costs nothing
  EXPECT_EQ(g.f.Sikin, 5000 - 3 * 120);
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>(5, 5));
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
  g.f.Sikin = 40;  // exactly two units
  Finish(g.f, 2, 1);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.f.Esa, 1407);
}

// Employee 3 trains for 20 ticks and employee 2 rests, the others away on a
// long rest (no staff turn for them).
TEST(Trips, TrainingActsOnEveryTickOfTheJobAndARestOfEmployeeTwoLasts81Ticks) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  g.Put(4, 4, 4, 100);
  g.f.Esa = 1000;
  for (int s = 0; s <= 3; ++s) g.f.Jsigoto(s) = 3, g.f.Jkikan(s) = 250;
  g.f.Jsigoto(3) = 2, g.f.Jkikan(3) = 20;  // power 8
  g.f.Jkikan(2) = g.f.Jnouryoku(2, 3, 0);
  g.f.Jtairyoku(2) = 5;
  g.f.Timer2.Interval(500);
  for (int tick = 1; g.f.Jsigoto(2) == 3; ++tick) {
    ASSERT_LE(tick, 100);
    g.f.Timer2_Timer();
    if (g.f.Mode == 1) g.f.Jsigoto(g.f.Jnow) = 6, g.f.Mode = 0;  // a request taken back
    if (tick == 21) {
      EXPECT_EQ(g.f.Jsigoto(3), 6) << "training ends on its 21st tick";
      EXPECT_EQ(g.f.PikoraLv(4, 4), 100 + 21 * 8);
      EXPECT_EQ(g.f.Esa, 1000 - 21 * 2 - 21) << "two per training, one per meal";
    }
    if (g.f.Jsigoto(2) != 3) {
      EXPECT_EQ(tick, 81);
    }
  }
  EXPECT_EQ(g.f.Jtairyoku(2), 100) << "back fresh, with no toll";
}

TEST(StaminaToll, EveryJobButRestTakesOneDrawWithinEachEmployeesRange) {
  const int hirou[4] = {15, 10, 40, 5};
  for (int s = 0; s <= 3; ++s) {
    Game g(s + 1);
    g.f.HenSyoki();
    int lo = 100, hi = 0;
    for (int trip = 0; trip < 100; ++trip) {
      g.f.Jtairyoku(s) = 100;
      Finish(g.f, s, trip % 2 ? 2 : 4);  // training and warming bring nothing else
      const int toll = 100 - int(g.f.Jtairyoku(s));
      lo = std::min(lo, toll);
      hi = std::max(hi, toll);
    }
    EXPECT_EQ(lo, hirou[s]) << "employee " << s;
    EXPECT_EQ(hi, hirou[s] + 10) << "employee " << s;
    EXPECT_EQ(g.f.Rnd(), Game::NthDraw(s + 1, 101)) << "one draw per job";
  }
  Game g(9);
  g.f.HenSyoki();
  g.f.Jtairyoku(2) = 30;
  Finish(g.f, 2, 2);
  EXPECT_EQ(g.f.Jtairyoku(2), 0) << "stamina stops at 0";
  Finish(g.f, 2, 3);
  EXPECT_EQ(g.f.Jtairyoku(2), 100);
  EXPECT_EQ(g.f.Rnd(), Game::NthDraw(9, 2)) << "a rest takes no draw";
}

TEST(SaleTrip, SellsEveryAdultAndLeavesTheWarmersAtWork) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  for (int c = 0; c <= 8; ++c) g.Put(c, 7, 4, 100);
  g.f.Jsigoto(3) = 4, g.f.Jkikan(3) = 20, g.f.Jkeika(3) = 5;
  Finish(g.f, 1, 5);  // factor 12: 120 each
  EXPECT_EQ(g.f.Sikin, 2000 + 9 * 120);
  EXPECT_EQ(g.f.Score, 9 * 12);
  EXPECT_EQ(g.f.PikoraKazu, 0);
  EXPECT_EQ(g.f.Jsigoto(3), 4);
  EXPECT_EQ(g.f.Jkeika(3), 5);
}
