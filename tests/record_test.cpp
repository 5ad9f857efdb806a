// The game record after start-up, and the range checks on its fields.
#include <gtest/gtest.h>

#include "tests/Harness.h"

using pktest::Game;

TEST(Record, StartingPenHoldsTwentyThreeOccupantsByStage) {
  Game g;
  g.f.HenSyoki();
  int byStage[6] = {};
  for (int c = 0; c <= 8; ++c)
    for (int r = 0; r <= 13; ++r) {
      int s = int(g.f.PikoraSyu(c, r));
      ++byStage[s];
      if (s == 4) {
        EXPECT_EQ(g.f.PikoraLv(c, r), 100);
      }
      if (s == 5) {
        EXPECT_EQ(g.f.PikoraHp(c, r), 100);
      }
    }
  EXPECT_EQ(byStage[0], 5);
  EXPECT_EQ(byStage[1], 4);
  EXPECT_EQ(byStage[2], 5);
  EXPECT_EQ(byStage[3], 4);
  EXPECT_EQ(byStage[4], 5);
  EXPECT_EQ(g.f.PikoraKazu, 23);
  EXPECT_EQ(g.Occupants(), 23);
  for (int c = 0; c <= 8; ++c) EXPECT_EQ(g.f.PikoraSyu(c, 14), 5) << "row 14 must stay empty";
}

TEST(Record, FundsFeedTimeAndStaffStartValues) {
  Game g;
  g.f.HenSyoki();
  EXPECT_EQ(g.f.Jikan, 4009);
  EXPECT_EQ(g.f.Sikin, 2000);
  EXPECT_EQ(g.f.Esa, 2000);
  EXPECT_EQ(g.f.Score, 0);
  EXPECT_EQ(g.f.AniFlip, -1);
  EXPECT_EQ(g.f.KaimonoKazu, 1);
  EXPECT_EQ(g.f.Mode, 0);
  const int hirou[4] = {15, 10, 40, 5}, rest[4] = {40, 30, 80, 40}, egg[4] = {100, 120, 80, 150};
  for (int s = 0; s <= 3; ++s) {
    EXPECT_EQ(g.f.Jsigoto(s), 6);
    EXPECT_EQ(g.f.Jtairyoku(s), 100);
    EXPECT_EQ(g.f.Jhirou(s), hirou[s]);
    EXPECT_EQ(g.f.Jnouryoku(s, 3, 0), rest[s]);
    EXPECT_EQ(g.f.Jnouryoku(s, 0, 1), egg[s]);
    for (int k = 0; k <= 5; ++k) EXPECT_EQ(g.f.Jkioku(s, k), 6);
  }
  EXPECT_EQ(g.f.Jname(2), "クシュリ");
  EXPECT_EQ(g.f.SigotoMei(6), "--------");
  EXPECT_EQ(g.f.SigotoMei(3), "休憩");
  const int wage[7] = {3, 3, 3, 0, 3, 5, 1};
  for (int k = 0; k <= 6; ++k) EXPECT_EQ(g.f.Kyuryo(k), wage[k]);
}

TEST(Record, DialogueLinesAreExact) {
  Game g;
  g.f.HenSyoki();
  EXPECT_EQ(g.f.Jmsg(0, 0, 0), "ねーねー、キャプテン、");
  EXPECT_EQ(g.f.Jmsg(1, 0, 3), "のですが…");
  EXPECT_EQ(g.f.Jmsg(2, 3, 1), "休むぜ…");
  EXPECT_EQ(g.f.Jmsg(3, 9, 0), "終わりましたぜ！");
  EXPECT_EQ(g.f.Jmsg(0, 5, 2), "売りに行こうよ!");  // a half-width "!" in the original line
  for (int s = 0; s <= 3; ++s) {
    for (int k = 0; k <= 5; ++k) EXPECT_EQ(g.f.Jmsg(s, k, 4), "[ 許可 ⇔ ダメ ]");
    for (int k = 7; k <= 9; ++k) {
      EXPECT_FALSE(g.f.Jmsg(s, k, 0).empty());
      EXPECT_EQ(g.f.Jmsg(s, k, 4), "");
    }
    EXPECT_EQ(g.f.Jmsg(s, 6, 0), "");
  }
}

TEST(Record, ProgramFolderEndsInOneSeparator) {
  Game g;
  g.hp.dir = "/games/pikora";
  g.f.HenSyoki();
  EXPECT_EQ(g.f.AppPath, "/games/pikora/");
  Game root;
  root.hp.dir = "/";
  root.f.HenSyoki();
  EXPECT_EQ(root.f.AppPath, "/");
}

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
}

TEST(Record, RandomSourceStaysBelowOneAndRepeatsForASeed) {
  Game a(42), b(42), c(43);
  a.f.HenSyoki();
  b.f.HenSyoki();
  c.f.HenSyoki();
  bool differs = false;
  for (int k = 0; k < 100000; ++k) {
    double x = a.f.Rnd();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    ASSERT_EQ(x, b.f.Rnd());
    differs |= x != c.f.Rnd();
  }
  EXPECT_TRUE(differs);
}
