// The pen from tick to tick (training, warming, growth, feeding), its drawing
// and the sale of grown creatures.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

// An empty pen whose chip sheet gives every chip its own colour, so a drawn
// cell tells which chip it shows whatever the artwork looks like.
struct Pen : Game {
  explicit Pen(uint64_t seed = 1) : Game(seed) {
    f.HenSyoki();
    EmptyPen();
    auto& sheet = hp.PaintablePictures().Chip;
    for (int n = 0; n < 36; ++n) {
      const int x = (n % 6) * 32, y = (n / 6) * 32;
      sheet.Box(x, y, x + 31, y + 31, plat::Rgb(10 + n, 200 - n, 3 * n), true);
    }
  }
  // True when cell (c, r) on screen shows chip n; the outer three pixels are
  // left out, a neighbour's shake may still lie over them.
  bool Shows(int c, int r, int n) {
    for (int dy = 3; dy < 29; ++dy)
      for (int dx = 3; dx < 29; ++dx)
        if (f.Display(0).At((c + 13) * 32 + dx, (r + 2) * 32 + dy) != f.Chip().At((n % 6) * 32 + dx, (n / 6) * 32 + dy))
          return false;
    return true;
  }
  void Tick() {
    f.GrowthPass();
    f.FeedingPass();
  }
};

}  // namespace

TEST(Growth, AnEggHatchesAbove100AndOnlyYoungOnesDrawForGrowth) {
  Pen g(7);
  g.Put(2, 3, 0, 100, 40), g.Put(1, 1, 1, 3), g.Put(4, 4, 4, 100);
  g.f.Esa = 0;
  g.Tick();
  EXPECT_EQ(g.f.Rnd(), Game::NthDraw(7, 2)) << "one draw for the young one only";
  EXPECT_EQ(g.f.PikoraSyu(2, 3), 0);
  EXPECT_EQ(g.f.PikoraLv(2, 3), 100);
  EXPECT_EQ(g.f.PikoraHp(2, 3), 40) << "an egg neither eats nor starves";

  g.f.PikoraLv(2, 3) = 101;
  g.hp.audio.log.clear();
  g.f.GrowthPass();
  EXPECT_EQ(g.f.PikoraSyu(2, 3), 1);
  EXPECT_EQ(g.f.PikoraLv(2, 3), 0);
  EXPECT_EQ(g.f.PikoraHp(2, 3), 100);
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>{9});
  EXPECT_TRUE(g.Shows(2, 3, 18));
}

// A young one grows when its growth, after the pass's step, passes 30 (41
// for stage 3) plus a random 0..9: never at 30, always at 40 (41 and 50).
TEST(Growth, ThresholdsSpan31To40And41To50) {
  enum { kNever, kSome, kAll };
  struct Case { int stage, before, grows; };
  for (Case k : {Case{1, 29, kNever}, Case{1, 30, kSome}, Case{1, 38, kSome}, Case{1, 39, kAll}, Case{2, 29, kNever},
                 Case{2, 39, kAll}, Case{3, 39, kNever}, Case{3, 40, kSome}, Case{3, 48, kSome}, Case{3, 49, kAll}}) {
    Pen g;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) g.Put(c, r, k.stage, k.before);
    g.f.GrowthPass();
    int grown = 0;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) {
        const bool up = g.f.PikoraSyu(c, r) == k.stage + 1;
        grown += up;
        ASSERT_EQ(g.f.PikoraLv(c, r), up ? (k.stage == 3 ? 100 : 0) : k.before + 1);
        ASSERT_TRUE(!up || g.Shows(c, r, int(g.f.PikoraChip(k.stage + 1, 0))));
      }
    EXPECT_EQ(grown == 0, k.grows == kNever) << "stage " << k.stage << " from " << k.before;
    EXPECT_EQ(grown == 126, k.grows == kAll) << "stage " << k.stage << " from " << k.before;
    EXPECT_EQ(g.hp.audio.Effects().size(), size_t(grown));
  }
}

TEST(Feeding, AHatchlingEatsInTheTickItHatchesAndFullnessStopsAt100) {
  Pen g;
  for (int s = 0; s <= 3; ++s) g.f.Jsigoto(s) = 3, g.f.Jkikan(s) = 200;  // away resting: no staff turn
  g.Put(4, 6, 0, 101);
  g.f.Esa = 10;
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.PikoraSyu(4, 6), 1);
  EXPECT_EQ(g.f.Esa, 9);
  EXPECT_EQ(g.f.PikoraHp(4, 6), 100);
}

TEST(Feeding, ShortFeedGoesToTheFirstInWalkOrderColumnByColumn) {
  Pen g;
  // Row order would reach (3,0) and (1,0) first; column order reaches (0,5).
  g.Put(3, 0, 4, 100, 50), g.Put(1, 0, 1, 5, 50), g.Put(0, 5, 4, 100, 50), g.Put(6, 9, 4, 100, 50);
  g.f.Esa = 3;
  g.f.TrainingPass(2);
  g.f.TrainingPass(2);  // the last ration is left for a meal
  EXPECT_EQ(g.f.PikoraLv(0, 5), 110);
  EXPECT_EQ(g.f.PikoraLv(3, 0), 100);
  EXPECT_EQ(g.f.PikoraLv(6, 9), 100);
  EXPECT_EQ(g.f.Esa, 1);
  g.f.FeedingPass();
  EXPECT_EQ(g.f.Esa, 0);
  EXPECT_EQ(g.f.PikoraHp(0, 5), 51);
  for (auto [c, r] : {std::pair{1, 0}, {3, 0}, {6, 9}}) EXPECT_EQ(g.f.PikoraHp(c, r), 35);
}

TEST(Feeding, StarvingYoungOnesEmptyOnTheSeventhTickAndStallAdultsSinkBelowZero) {
  Pen g;
  g.Put(5, 5, 1, 5, 100), g.Put(6, 6, 2, 0, 0), g.Put(8, 13, 4, 250, 100);
  g.f.Esa = 0;
  const int hp[7] = {85, 70, 55, 40, 25, 10, 0};
  for (int t = 1; t <= 10; ++t) {
    g.Tick();
    ASSERT_EQ(g.f.PikoraHp(5, 5), t <= 7 ? hp[t - 1] : 0) << "tick " << t;
    ASSERT_EQ(g.f.PikoraLv(5, 5), t <= 6 ? 5 + t : 11) << "tick " << t;
    ASSERT_EQ(g.f.PikoraLv(6, 6), 1) << "growth never drops below 1";
  }
  EXPECT_EQ(g.f.PikoraHp(8, 13), -50);
  EXPECT_EQ(g.f.PikoraLv(8, 13), 250);
  g.f.Esa = 1000;
  for (int t = 1; t <= 3; ++t) g.Tick();
  EXPECT_EQ(g.f.PikoraHp(5, 5), 3);
  EXPECT_EQ(g.f.PikoraLv(5, 5), 14);
  EXPECT_EQ(g.f.PikoraHp(8, 13), -47);
  EXPECT_EQ(g.f.Esa, 1000 - 9);
}

TEST(Warming, EachEggGainsTwoPlusARandomShareOfThePowerWithOneDrawEach) {
  Pen g(3);
  for (int c = 0; c <= 8; ++c) g.Put(c, 0, 0, 0);
  g.Put(0, 1, 4, 100);
  g.f.Esa = 50;
  g.f.WarmingPass(2);  // power 8
  for (int c = 0; c <= 8; ++c) EXPECT_EQ(g.f.PikoraLv(c, 0), 2 + int(8 * Game::NthDraw(3, c + 1))) << c;
  EXPECT_EQ(g.f.PikoraLv(0, 1), 100);
  EXPECT_EQ(g.f.Esa, 50) << "warming uses no feed";
  EXPECT_EQ(g.f.Rnd(), Game::NthDraw(3, 10));
}

TEST(Saturation, StrengthAndScoreStopAt32767) {
  Pen g;
  g.Put(0, 0, 4, 32765);
  g.f.Esa = 10;
  g.f.TrainingPass(2);
  g.f.TrainingPass(2);
  EXPECT_EQ(g.f.PikoraLv(0, 0), 32767);
  EXPECT_EQ(g.f.Esa, 6);
  g.f.Score = 32700, g.f.Jnow = 2;
  g.f.Pikora();
  EXPECT_EQ(g.f.Score, 32767);
  EXPECT_EQ(g.f.Sikin, 2000 + 999);
}

// A platform that lets a test look at the game whenever a picture is shown.
struct Watched : plat::Headless {
  using plat::Headless::Headless;
  std::function<void()> onPresent;
  void Present() override {
    plat::Headless::Present();
    if (onPresent) onPresent();
  }
};

TEST(Sale, PricesScoreAndOrderRowByRow) {
  Watched hp;
  pk::Form1 f(hp);
  f.HenSyoki();
  for (int c = 0; c <= 9; ++c)
    for (int r = 0; r <= 14; ++r) f.PikoraSyu(c, r) = 5;
  f.PikoraKazu = 3;
  f.PikoraSyu(8, 0) = 4, f.PikoraLv(8, 0) = 150;
  f.PikoraSyu(0, 1) = 4, f.PikoraLv(0, 1) = 900, f.PikoraHp(0, 1) = -20;
  f.PikoraSyu(4, 4) = 3;
  f.Jnow = 2, f.Sikin = 1000;  // sale factor 15
  std::vector<int64_t> funds;
  int white = 0;  // pixels of the price on the first sold cell, seen at the first wait
  hp.onPresent = [&] {
    funds.push_back(f.Sikin);
    for (int dy = 17; dy <= 29 && funds.size() == 1; ++dy)
      for (int dx = 3; dx <= 29; ++dx) white += f.Display(0).At((8 + 13) * 32 + dx, 2 * 32 + dy) == plat::Rgb(255, 255, 255);
  };
  f.Pikora();
  ASSERT_FALSE(funds.empty());
  EXPECT_EQ(funds.front(), 1225) << "(8,0) is sold first";
  EXPECT_GT(white, 0) << "the price stands on its cell during the wait";
  EXPECT_EQ(f.Sikin, 1225 + 999);
  EXPECT_EQ(f.Score, 22 + 99);
  EXPECT_EQ(hp.audio.Effects(), (std::vector<int>{8, 8}));
  EXPECT_EQ(f.PikoraKazu, 1);
  EXPECT_EQ(f.PikoraSyu(4, 4), 3);
  EXPECT_EQ(f.PikoraLv(0, 1), 900) << "a sold cell keeps its old values";
  EXPECT_EQ(f.PikoraHp(0, 1), -20);

  const uint32_t clock = hp.Ticks();
  f.Pikora();  // nothing left to sell: nothing happens, not even a wait
  EXPECT_EQ(hp.Ticks(), clock);
  EXPECT_EQ(f.Sikin, 1225 + 999);
}

TEST(PenPicture, PosesFollowTheAnimationPhaseAndEmptyCellsStayAsTheyAre) {
  Pen g;
  for (int s = 0; s <= 4; ++s) g.Put(2 * s, 3 * s, s, 10);
  const int pose[2][5] = {{30, 18, 24, 20, 31}, {30, 19, 25, 26, 32}};
  for (int flip : {-1, 1}) {
    g.f.Display(0).Fill(plat::Rgb(7, 7, 7));
    g.f.AniFlip = flip;
    g.f.PetHyouji();
    for (int s = 0; s <= 4; ++s) EXPECT_TRUE(g.Shows(2 * s, 3 * s, pose[flip > 0][s])) << "stage " << s;
    int untouched = 0;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) untouched += g.f.Display(0).At((c + 13) * 32 + 16, (r + 2) * 32 + 16) == plat::Rgb(7, 7, 7);
    EXPECT_EQ(untouched, 126 - 5);
  }
}
