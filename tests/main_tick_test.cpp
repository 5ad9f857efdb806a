// The main tick: time, wages, jobs, the end checks; and the event loop.
#include <gtest/gtest.h>

#include "platform/SdlPlatform.h"
#include "tests/Harness.h"

using pktest::Game;

namespace {

// Runs one main tick; a request raised by a staff turn is taken back
// unanswered, so the test sees the tick's own arithmetic only.
void TickWithoutRequests(pk::Form1& f) {
  f.Timer2_Timer();
  if (f.Mode == 1) {
    f.Jsigoto(f.Jnow) = 6;
    f.Mode = 0;
    f.Timer2.Interval(500);
  }
}

}  // namespace

TEST(MainTick, FourIdleEmployeesCostFourAndTheFundsRunOutInTick501) {
  Game g;
  g.f.HenSyoki();
  g.f.Timer2.Interval(500);
  for (int t = 1; t <= 500; ++t) {
    TickWithoutRequests(g.f);
    ASSERT_EQ(g.f.Sikin, 2000 - 4 * t) << "tick " << t;
    ASSERT_EQ(g.f.Mode, 0);
  }
  TickWithoutRequests(g.f);
  EXPECT_EQ(g.f.Sikin, 0) << "negative funds are shown as 0 before the bankruptcy";
  EXPECT_EQ(g.f.Mode, 2);
  EXPECT_EQ(g.f.Timer2.Interval(), 0);
}

TEST(MainTick, TimeRunsOutOnTick1337) {
  Game g;
  g.f.HenSyoki();
  g.f.Sikin = 1000000;
  g.f.Timer2.Interval(500);
  for (int t = 1; t <= 1336; ++t) {
    TickWithoutRequests(g.f);
    ASSERT_EQ(g.f.Jikan, 4009 - 3 * t);
    ASSERT_EQ(g.f.AniFlip, t % 2 ? 1 : -1);
  }
  EXPECT_EQ(g.f.Mode, 0);
  TickWithoutRequests(g.f);
  EXPECT_EQ(g.f.Jikan, 0);
  EXPECT_EQ(g.f.Mode, 3);
  EXPECT_EQ(g.f.Timer2.Interval(), 0);
}

TEST(MainTick, BankruptcyAndEndOfTimeInOneTickEndInTheRoll) {
  Game g;
  g.f.HenSyoki();
  g.f.Sikin = 1;
  g.f.Jikan = 1;
  g.f.Timer2.Interval(500);
  TickWithoutRequests(g.f);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.f.Jikan, 0);
  EXPECT_EQ(g.f.Mode, 3);
}

TEST(MainTick, AJobOfLengthTwentyEndsOnItsTwentyFirstTick) {
  Game g;
  g.f.HenSyoki();
  g.f.Jsigoto(0) = 1;  // buying feed: nothing happens while it runs
  g.f.Jkikan(0) = 20;
  g.f.Jkeika(0) = 0;
  int ticks = 0;
  while (g.f.Jsigoto(0) != 6) {
    TickWithoutRequests(g.f);
    ++ticks;
    ASSERT_LE(ticks, 30);
  }
  EXPECT_EQ(ticks, 21);
  EXPECT_EQ(g.f.Jkeika(0), 0);
}

TEST(MainTick, TwoJobsDueTogetherEndInConsecutiveTicksLowerSlotFirst) {
  Game g;
  g.f.HenSyoki();
  for (int s : {1, 2}) {
    g.f.Jsigoto(s) = 1;
    g.f.Jkikan(s) = 5;
    g.f.Jkeika(s) = 0;
  }
  for (int t = 1; t <= 5; ++t) TickWithoutRequests(g.f);
  EXPECT_EQ(g.f.Jkeika(1), 5);
  EXPECT_EQ(g.f.Jkeika(2), 5);
  TickWithoutRequests(g.f);
  EXPECT_NE(g.f.Jsigoto(1), 1) << "slot 1 should have come back";
  EXPECT_EQ(g.f.Jsigoto(2), 1);
  EXPECT_EQ(g.f.Jkeika(2), 5) << "the higher slot is not advanced in the same tick";
  TickWithoutRequests(g.f);
  EXPECT_NE(g.f.Jsigoto(2), 1);
}

TEST(MainTick, WagesFollowEachEmployeesJob) {
  Game g;
  g.f.HenSyoki();
  const int jobs[4] = {3, 5, 0, 6};  // rest 0, sell 5, buy eggs 3, idle 1
  for (int s = 0; s <= 3; ++s) {
    g.f.Jsigoto(s) = jobs[s];
    g.f.Jkikan(s) = 100;
  }
  TickWithoutRequests(g.f);
  EXPECT_EQ(g.f.Sikin, 2000 - 9);
}

TEST(EventLoop, KeysDuringAWaitAreHandledAfterwardsInOrder) {
  Game g;
  g.f.HenSyoki();
  const uint32_t t0 = g.hp.Ticks();
  g.hp.KeyAt(t0 + 5, plat::kKeyDown);  // at 1 already: no effect if handled first
  g.hp.KeyAt(t0 + 10, plat::kKeyUp);
  g.hp.KeyAt(t0 + 15, plat::kKeyUp);
  g.f.Ueito(100);
  EXPECT_GT(uint32_t(g.hp.Ticks() - t0), 100u);
  EXPECT_EQ(g.f.KaimonoKazu, 1) << "a wait must not handle keys";
  for (int k = 0; k < 3; ++k) g.f.Step();
  EXPECT_EQ(g.f.KaimonoKazu, 3);
}

TEST(EventLoop, WaitIsWrapSafe) {
  Game g(1, 0xFFFFFFF0u);
  g.f.HenSyoki();
  g.f.Ueito(50);
  EXPECT_GT(uint32_t(g.hp.Ticks() - 0xFFFFFFF0u), 50u);
  EXPECT_LT(uint32_t(g.hp.Ticks() - 0xFFFFFFF0u), 70u);
}

TEST(EventLoop, AWaitingKeyGoesBeforeADueTickAndNoTickRunsWhileStopped) {
  Game g;
  g.f.HenSyoki();
  g.f.Timer2.Interval(500);
  g.hp.KeyAt(g.hp.Ticks() + 500, plat::kKeyUp);
  g.f.Step();  // waits until 500: both the key and the tick are due
  g.f.Step();
  EXPECT_EQ(g.f.KaimonoKazu, 2);
  EXPECT_EQ(g.f.Jikan, 4009) << "the key must come first";

  g.f.Timer2.Interval(0);
  g.hp.KeyAt(g.hp.Ticks() + 20000, 'A');
  while (g.hp.Pending() > 0) g.f.Step();
  EXPECT_LE(g.f.Jikan, 4009);
  const int jikan = int(g.f.Jikan);
  g.hp.KeyAt(g.hp.Ticks() + 20000, 'A');
  while (g.hp.Pending() > 0) g.f.Step();
  EXPECT_EQ(g.f.Jikan, jikan);
}

TEST(EventLoop, EscapeAndClicksOnThePlayAreaQuitButNotTheMargin) {
  Game g;
  g.Boot();
  g.hp.ClickAt(g.hp.Ticks(), 5, 5);  // the black margin
  g.f.Step();
  EXPECT_FALSE(g.f.Ended());
  g.hp.ClickAt(g.hp.Ticks(), 16, 12);
  g.f.Step();
  EXPECT_TRUE(g.f.Ended());

  Game h;
  h.Boot();
  h.hp.Key(plat::kKeyEscape);
  h.f.Step();
  EXPECT_TRUE(h.f.Ended());
}

TEST(SdlPlatform, OpensWithThreeBlackSurfacesOfPlayAreaSize) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  plat::SdlPlatform p;
  ASSERT_TRUE(p.Ok());
  for (int i = 0; i <= 2; ++i) {
    EXPECT_EQ(p.Display(i).W(), 768);
    EXPECT_EQ(p.Display(i).H(), 576);
    EXPECT_EQ(p.Display(i).At(400, 300), 0u);
  }
  const uint32_t t = p.Ticks();
  p.Sleep(5);
  EXPECT_GE(p.Ticks() - t, 4u);
  p.Present();
}
