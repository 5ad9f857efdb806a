// The pen from tick to tick (training, warming, growth, feeding), its drawing
// and the sale of grown creatures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

void EmptyPen(pk::Form1& f) {
  for (int c = 0; c <= 9; ++c)
    for (int r = 0; r <= 14; ++r) f.PikoraSyu(c, r) = 5;
  f.PikoraKazu = 0;
}

void Put(pk::Form1& f, int c, int r, int stage, int lv, int hp = 100) {
  f.PikoraSyu(c, r) = stage;
  f.PikoraLv(c, r) = lv;
  f.PikoraHp(c, r) = hp;
  ++f.PikoraKazu;
}

// Gives every chip of the sheet its own colour, so a drawn cell tells which
// chip it shows whatever the artwork looks like.
plat::Color ChipColour(int n) { return plat::Rgb(10 + n, 200 - n, 3 * n); }
void PaintChipSheet(pk::Form1& f) {
  auto& sheet = static_cast<plat::Headless&>(f.P).PaintablePictures().Chip;
  for (int n = 0; n < 36; ++n) sheet.Box((n % 6) * 32, (n / 6) * 32, (n % 6) * 32 + 31, (n / 6) * 32 + 31, ChipColour(n), true);
}
// True when pen cell (c, r) on the visible surface shows chip n. The outer
// three pixels are left out: a neighbour's shake may still lie over them.
bool ShowsChip(pk::Form1& f, int c, int r, int n) {
  const int x = (c + 13) * 32, y = (r + 2) * 32;
  for (int dy = 3; dy < 29; ++dy)
    for (int dx = 3; dx < 29; ++dx)
      if (f.Display(0).At(x + dx, y + dy) != f.Chip().At((n % 6) * 32 + dx, (n / 6) * 32 + dy)) return false;
  return true;
}

// The random source of a twin game after n draws: tells how many draws a
// procedure made.
double NthDraw(uint64_t seed, int n) {
  Game t(seed);
  t.f.HenSyoki();
  double u = 0;
  for (int k = 0; k < n; ++k) u = t.f.Rnd();
  return u;
}

}  // namespace

TEST(Hatching, AnEggHatchesOnlyAbove100AndIsNeverFedNorCooled) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  PaintChipSheet(g.f);
  Put(g.f, 2, 3, 0, 100, 40);
  g.f.Esa = 5;
  for (int t = 0; t < 5; ++t) {
    g.f.GrowthPass();
    g.f.FeedingPass();
  }
  EXPECT_EQ(g.f.PikoraSyu(2, 3), 0);
  EXPECT_EQ(g.f.PikoraLv(2, 3), 100);
  EXPECT_EQ(g.f.PikoraHp(2, 3), 40);
  EXPECT_EQ(g.f.Esa, 5) << "eggs do not eat";
  EXPECT_TRUE(g.hp.audio.Effects().empty());

  g.f.PikoraLv(2, 3) = 101;
  g.f.GrowthPass();
  EXPECT_EQ(g.f.PikoraSyu(2, 3), 1);
  EXPECT_EQ(g.f.PikoraLv(2, 3), 0);
  EXPECT_EQ(g.f.PikoraHp(2, 3), 100);
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>{9});
  EXPECT_TRUE(ShowsChip(g.f, 2, 3, 18));
  g.f.GrowthPass();
  EXPECT_EQ(g.f.PikoraSyu(2, 3), 1) << "one stage per pass, then growth from 0";
  EXPECT_EQ(g.f.PikoraLv(2, 3), 1);
}

TEST(Growth, ThresholdsBoundEachStage) {
  struct Case { int stage, before, grown; };
  // From the growth before the pass: never / always grown after it.
  for (Case k : {Case{1, 29, 0}, Case{2, 29, 0}, Case{3, 39, 0}, Case{1, 39, 1}, Case{2, 39, 1}, Case{3, 49, 1}}) {
    Game g;
    g.f.HenSyoki();
    EmptyPen(g.f);
    PaintChipSheet(g.f);
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) Put(g.f, c, r, k.stage, k.before);
    g.f.GrowthPass();
    const int want = k.grown ? k.stage + 1 : k.stage;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) {
        ASSERT_EQ(g.f.PikoraSyu(c, r), want) << "stage " << k.stage << " from " << k.before;
        ASSERT_EQ(g.f.PikoraLv(c, r), k.grown ? (k.stage == 3 ? 100 : 0) : k.before + 1);
        if (k.grown) {
          ASSERT_TRUE(ShowsChip(g.f, c, r, int(g.f.PikoraChip(want, 0))));
        }
      }
    EXPECT_EQ(g.hp.audio.Effects().size(), k.grown ? 126u : 0u);
  }
}

TEST(Growth, GrowthAtGrowingSpansThirtyOneToFortyAndFortyOneToFifty) {
  for (int stage : {1, 3}) {
    int lo = 1000, hi = 0;
    for (uint64_t seed = 1; seed <= 4; ++seed) {
      Game g(seed);
      g.f.HenSyoki();
      EmptyPen(g.f);
      for (int c = 0; c <= 8; ++c)
        for (int r = 0; r <= 13; ++r) Put(g.f, c, r, stage, 0);
      for (int t = 0; t < 60; ++t) {
        int16_t before[9][14];
        for (int c = 0; c <= 8; ++c)
          for (int r = 0; r <= 13; ++r) before[c][r] = int16_t(g.f.PikoraLv(c, r));
        g.f.GrowthPass();
        for (int c = 0; c <= 8; ++c)
          for (int r = 0; r <= 13; ++r)
            if (g.f.PikoraSyu(c, r) == stage + 1) {
              lo = std::min(lo, before[c][r] + 1);
              hi = std::max(hi, before[c][r] + 1);
              g.f.PikoraSyu(c, r) = 5;  // out of the way
            }
      }
      for (int c = 0; c <= 8; ++c)
        for (int r = 0; r <= 13; ++r) ASSERT_EQ(g.f.PikoraSyu(c, r), 5) << "a creature never grew";
    }
    const int base = stage == 3 ? 40 : 30;
    EXPECT_EQ(lo, base + 1);
    EXPECT_LE(hi, base + 10);
    EXPECT_GE(hi, base + 7) << "the threshold must be random over ten values";
  }
}

TEST(Growth, OneDrawPerYoungCreatureAndNoneForOthers) {
  Game g(7);
  g.f.HenSyoki();
  EmptyPen(g.f);
  Put(g.f, 0, 0, 0, 50);
  Put(g.f, 1, 1, 1, 3);
  Put(g.f, 2, 2, 2, 3);
  Put(g.f, 3, 3, 3, 3);
  Put(g.f, 4, 4, 4, 100);
  g.f.GrowthPass();
  g.f.FeedingPass();
  EXPECT_EQ(g.f.Rnd(), NthDraw(7, 4));
}

TEST(Feeding, AHatchlingEatsInTheTickItHatches) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  for (int s = 0; s <= 3; ++s) {  // everyone away resting: no staff turn, no wage
    g.f.Jsigoto(s) = 3;
    g.f.Jkikan(s) = 200;
  }
  Put(g.f, 4, 6, 0, 101);
  g.f.Esa = 10;
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.PikoraSyu(4, 6), 1);
  EXPECT_EQ(g.f.Esa, 9);
}

TEST(Feeding, ShortFeedGoesToTheFirstInWalkOrderColumnByColumn) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  // Row order would reach (3,0) and (1,0) first; column order reaches (0,5).
  Put(g.f, 3, 0, 4, 100, 50);
  Put(g.f, 1, 0, 1, 5, 50);
  Put(g.f, 0, 5, 4, 100, 50);
  Put(g.f, 6, 9, 4, 100, 50);
  g.f.Esa = 3;
  g.f.TrainingPass(2);
  EXPECT_EQ(g.f.PikoraLv(0, 5), 110);
  EXPECT_EQ(g.f.PikoraLv(3, 0), 100);
  EXPECT_EQ(g.f.PikoraLv(6, 9), 100);
  EXPECT_EQ(g.f.Esa, 1);
  g.f.TrainingPass(2);
  EXPECT_EQ(g.f.Esa, 1) << "training leaves the last ration";
  EXPECT_EQ(g.f.PikoraLv(0, 5), 110);

  g.f.FeedingPass();
  EXPECT_EQ(g.f.Esa, 0);
  EXPECT_EQ(g.f.PikoraHp(0, 5), 51);
  EXPECT_EQ(g.f.PikoraHp(1, 0), 35);
  EXPECT_EQ(g.f.PikoraHp(3, 0), 35);
  EXPECT_EQ(g.f.PikoraHp(6, 9), 35);
}

TEST(Feeding, AStarvingYoungCreatureEmptiesOnTheSeventhTickAndStalls) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  Put(g.f, 5, 5, 1, 5, 100);
  Put(g.f, 6, 6, 2, 0, 0);
  g.f.Esa = 0;
  const int hp[7] = {85, 70, 55, 40, 25, 10, 0};
  for (int t = 1; t <= 30; ++t) {
    g.f.GrowthPass();
    g.f.FeedingPass();
    ASSERT_EQ(g.f.PikoraHp(5, 5), t <= 7 ? hp[t - 1] : 0) << "tick " << t;
    ASSERT_EQ(g.f.PikoraLv(5, 5), t <= 6 ? 5 + t : 11) << "tick " << t;
    ASSERT_EQ(g.f.PikoraLv(6, 6), 1) << "growth never drops below 1";
  }
  g.f.Esa = 100;
  g.f.GrowthPass();
  g.f.FeedingPass();
  EXPECT_EQ(g.f.PikoraHp(5, 5), 1);
  EXPECT_EQ(g.f.PikoraLv(5, 5), 12);
}

TEST(Feeding, AStarvingAdultSinksBelowZeroKeepsItsStrengthAndRecovers) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  Put(g.f, 8, 13, 4, 250, 100);
  g.f.Esa = 0;
  for (int t = 1; t <= 10; ++t) {
    g.f.GrowthPass();
    g.f.FeedingPass();
  }
  EXPECT_EQ(g.f.PikoraHp(8, 13), -50);
  EXPECT_EQ(g.f.PikoraLv(8, 13), 250);
  g.f.Esa = 1000;
  for (int t = 1; t <= 3; ++t) {
    g.f.GrowthPass();
    g.f.FeedingPass();
  }
  EXPECT_EQ(g.f.PikoraHp(8, 13), -47);
  EXPECT_EQ(g.f.Esa, 997);
}

TEST(Warming, EachEggGainsTwoPlusARandomShareOfThePower) {
  Game g(3);
  g.f.HenSyoki();
  EmptyPen(g.f);
  for (int c = 0; c <= 8; ++c) Put(g.f, c, 0, 0, 0);
  Put(g.f, 0, 1, 4, 100);
  Put(g.f, 0, 2, 1, 7);
  g.f.Esa = 50;
  g.f.WarmingPass(2);  // power 8
  for (int c = 0; c <= 8; ++c) {
    const double u = NthDraw(3, c + 1);
    EXPECT_EQ(g.f.PikoraLv(c, 0), 2 + int(8 * u)) << "column " << c;
  }
  EXPECT_EQ(g.f.PikoraLv(0, 1), 100);
  EXPECT_EQ(g.f.PikoraLv(0, 2), 7);
  EXPECT_EQ(g.f.Esa, 50) << "warming uses no feed";
  EXPECT_EQ(g.f.Rnd(), NthDraw(3, 10)) << "one draw per egg";
}

TEST(Saturation, StrengthAndScoreStopAt32767) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  Put(g.f, 0, 0, 4, 32765);
  g.f.Esa = 10;
  ASSERT_NO_THROW(g.f.TrainingPass(2));
  EXPECT_EQ(g.f.PikoraLv(0, 0), 32767);
  EXPECT_EQ(g.f.Esa, 8);
  ASSERT_NO_THROW(g.f.TrainingPass(2));
  EXPECT_EQ(g.f.PikoraLv(0, 0), 32767);

  g.f.Score = 32700;
  g.f.Jnow = 2;
  const int64_t funds = g.f.Sikin;
  ASSERT_NO_THROW(g.f.Pikora());
  EXPECT_EQ(g.f.Score, 32767);
  EXPECT_EQ(g.f.Sikin, funds + 999);
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
  EmptyPen(f);
  PaintChipSheet(f);
  Put(f, 8, 0, 4, 150, 30);
  Put(f, 0, 1, 4, 900, -20);
  Put(f, 4, 4, 3, 45);
  f.Jnow = 2;  // sale factor 15
  f.Sikin = 1000;
  std::vector<int64_t> funds;
  std::vector<bool> labelAt80;
  hp.onPresent = [&] {
    funds.push_back(f.Sikin);
    const int x = (8 + 13) * 32, y = (0 + 2) * 32;
    bool white = false;
    for (int dy = 17; dy <= 29; ++dy)
      for (int dx = 3; dx <= 29; ++dx) white |= f.Display(0).At(x + dx, y + dy) == plat::Rgb(255, 255, 255);
    labelAt80.push_back(f.Display(0).At(x + 2, y + 16) == 0 && f.Display(0).At(x + 30, y + 30) == 0 && white);
  };
  f.Pikora();
  ASSERT_FALSE(funds.empty());
  EXPECT_EQ(funds.front(), 1225) << "(8,0) is sold first";
  EXPECT_TRUE(labelAt80.front()) << "the price stands on its cell during the wait";
  EXPECT_EQ(f.Sikin, 1225 + 999);
  EXPECT_EQ(f.Score, 22 + 99);
  EXPECT_EQ(hp.audio.Effects(), (std::vector<int>{8, 8}));
  EXPECT_EQ(f.PikoraKazu, 1);
  EXPECT_EQ(f.PikoraSyu(8, 0), 5);
  EXPECT_EQ(f.PikoraSyu(0, 1), 5);
  EXPECT_EQ(f.PikoraSyu(4, 4), 3);
  EXPECT_EQ(f.PikoraLv(0, 1), 900) << "a sold cell keeps its old values";
  EXPECT_EQ(f.PikoraHp(0, 1), -20);
  EXPECT_TRUE(ShowsChip(f, 8, 0, 28));
  EXPECT_TRUE(ShowsChip(f, 0, 1, 28));
}

TEST(Sale, WithoutAdultsNothingChangesNorIsDrawnNorDrawn) {
  Game g(5);
  g.f.HenSyoki();
  EmptyPen(g.f);
  Put(g.f, 1, 1, 0, 20);
  Put(g.f, 2, 2, 3, 20);
  g.f.Display(0).Fill(plat::Rgb(1, 2, 3));
  const uint64_t screen = g.f.Display(0).Hash();
  const uint32_t clock = g.hp.Ticks();
  g.f.Jnow = 0;
  g.f.Pikora();
  EXPECT_EQ(g.f.Display(0).Hash(), screen);
  EXPECT_EQ(g.hp.Ticks(), clock);
  EXPECT_TRUE(g.hp.audio.log.empty());
  EXPECT_EQ(g.f.Sikin, 2000);
  EXPECT_EQ(g.f.Score, 0);
  EXPECT_EQ(g.f.PikoraKazu, 2);
  EXPECT_EQ(g.f.Rnd(), NthDraw(5, 1));
}

TEST(PenPicture, PosesFollowTheAnimationPhaseAndEmptyCellsStayAsTheyAre) {
  Game g;
  g.f.HenSyoki();
  EmptyPen(g.f);
  PaintChipSheet(g.f);
  for (int s = 0; s <= 4; ++s) Put(g.f, 2 * s, 3 * s, s, 10);
  const plat::Color ground = plat::Rgb(7, 7, 7);
  const int phase0[5] = {30, 18, 24, 20, 31}, phase2[5] = {30, 19, 25, 26, 32};
  for (int flip : {-1, 1}) {
    g.f.Display(0).Fill(ground);
    g.f.AniFlip = flip;
    g.f.PetHyouji();
    for (int s = 0; s <= 4; ++s)
      EXPECT_TRUE(ShowsChip(g.f, 2 * s, 3 * s, flip < 0 ? phase0[s] : phase2[s])) << "stage " << s;
    int untouched = 0;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r)
        if (g.f.PikoraSyu(c, r) == 5) untouched += g.f.Display(0).At((c + 13) * 32 + 16, (r + 2) * 32 + 16) == ground;
    EXPECT_EQ(untouched, 126 - 5);
  }
}
