// The range-checked game record: a value out of its field's range or an index
// out of bounds is a fatal error naming the field; strength and score stop at
// the top of their fields instead.
#include <gtest/gtest.h>

#include "tests/Harness.h"

using pktest::Game;

TEST(Record, OverflowAndBadIndexAreFatalAndNameTheField) {
  Game g;
  g.f.HenSyoki();
  try {
    g.f.Jkeika(0) = 255;
    ++g.f.Jkeika(0);
    FAIL() << "byte overflow went unnoticed";
  } catch (const pk::FatalError& e) {
    EXPECT_NE(std::string(e.what()).find("Jkeika"), std::string::npos);
  }
  g.f.Jikan = 32767;
  EXPECT_THROW(g.f.Jikan += 1, pk::FatalError);
  EXPECT_EQ(g.f.Jikan, 32767) << "a failed store must leave the field as it was";
  EXPECT_THROW(g.f.Mode = -1, pk::FatalError);
  EXPECT_THROW(g.f.PikoraSyu(10, 0), pk::FatalError);
  EXPECT_THROW(g.f.Jnouryoku(0, 6, 0), pk::FatalError);
  EXPECT_NO_THROW(g.f.PikoraSyu(9, 14));
  g.f.Jsigoto(0) = 6, g.f.Jnow = 0;
  EXPECT_THROW(g.f.Kyoka(), pk::FatalError) << "a permit with no request waiting";
}

TEST(Record, StrengthAndScoreStopAt32767) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  g.Put(0, 0, 4, 32765);
  g.f.Esa = 10;
  g.f.TrainingPass(2);
  g.f.TrainingPass(2);
  EXPECT_EQ(g.f.PikoraLv(0, 0), 32767);
  g.f.Score = 32700, g.f.Jnow = 2;
  g.f.Pikora();
  EXPECT_EQ(g.f.Score, 32767);
  EXPECT_EQ(g.f.Sikin, 2000 + 999) << "a price stops at 999";
}
