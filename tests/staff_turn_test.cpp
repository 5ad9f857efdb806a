// Staff turns come with the main tick: only on the ticks on which the
// animation phase turns to +1, the first tick of a game among them.
#include <gtest/gtest.h>

#include "tests/Harness.h"

using pktest::Game;

TEST(MainTickStaffTurn, RequestsAreRaisedOnlyOnOddTicks) {
  for (uint64_t seed : {1u, 7u, 42u}) {
    Game g(seed);
    g.f.HenSyoki();
    g.f.Sikin = 1000000;  // the wages must not end the run
    g.f.Jikan = 30000;
    g.f.Timer2.Interval(500);
    int requests = 0, answers = 0;
    for (int tick = 1; tick <= 1500; ++tick) {
      g.f.Timer2_Timer();
      ASSERT_NE(g.f.Mode, 3) << "time ran out";
      if (g.f.Mode != 1) continue;
      ++requests;
      ASSERT_EQ(tick % 2, 1) << "seed " << seed << ": a request on tick " << tick;
      ASSERT_EQ(g.f.AniFlip, 1);
      ASSERT_EQ(g.f.Timer2.Interval(), 0);
      // Permit and refuse by turns; a refused rest costs nothing, others 3.5.
      g.f.Display_KeyDown(++answers % 2 ? plat::kKeyLeft : plat::kKeyRight);
      ASSERT_EQ(g.f.Mode, 0);
    }
    EXPECT_GT(requests, 100) << "seed " << seed;
  }
}

TEST(MainTickStaffTurn, TheFirstTickGivesAnIdleEmployeeATurn) {
  Game g;
  g.f.HenSyoki();
  g.f.Sikin = 100000;  // with money, eggs and adults every roll but a rest asks
  g.f.Timer2.Interval(500);
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.AniFlip, 1);
  EXPECT_EQ(g.f.Irai, 1);
  EXPECT_EQ(g.f.Mode, 1);
  EXPECT_NE(g.f.Jsigoto(g.f.Jnow), 6);
}
