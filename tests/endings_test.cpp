// The two ends of a game: the bankruptcy announcement and the owner's roll.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/Form.h"
#include "platform/Headless.h"

namespace {

using plat::Rgb;
using plat::Surface;

// The headless twin with pictures painted so that every face, chip and
// closing picture, and every row of them, can be told apart on screen.
struct PaintedPlatform : plat::Headless {
  explicit PaintedPlatform(uint64_t seed) : Headless(seed) {
    plat::Pictures& p = OwnPictures();
    for (int i = 0; i < 6; ++i)
      for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) p.Face[i].Set(x, y, Rgb(30 + 40 * i, y, x));
    for (int i = 0; i < 2; ++i)
      for (int y = 0; y < 337; ++y)
        for (int x = 0; x < 260; ++x) p.EndP[i].Set(x, y, Rgb(60 + 120 * i, y & 255, (y >> 8) * 64 + x % 64));
    for (int n = 0; n < 36; ++n)
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) p.Chip.Set((n % 6) * 32 + x, (n / 6) * 32 + y, Rgb(7 * n, 200 - 5 * n, 99));
  }
};

struct Game {
  explicit Game(uint64_t seed = 1) : hp(seed), f(hp) {
    f.HenSyoki();
    for (int s = 0; s <= 3; ++s) f.Jnouryoku(s, 5, 0) = s == 3 ? 10 : 12 + s;  // sale factors
    // A patterned background, so a cleared area is not just black.
    for (int y = 0; y < 576; ++y)
      for (int x = 0; x < 768; ++x) f.Display(2).Set(x, y, Rgb(x & 63, 40, y & 63));
    f.Tunagi(2, 1);
    f.Tunagi(2, 0);
  }
  bool Ends(const std::function<void()>& proc) {
    try {
      proc();
    } catch (const pk::ProgramEnd&) {
      return true;
    }
    return false;
  }
  bool Key() { return Ends([&] { f.Display_KeyDown('A'); }); }
  void NoGrownCreatures() {
    for (int c = 0; c <= 9; ++c)
      for (int r = 0; r <= 14; ++r)
        if (f.PikoraSyu(c, r) == 4) f.PikoraSyu(c, r) = 3;
  }
  PaintedPlatform hp;
  pk::Form1 f;
};

bool Same(const Surface& a, int ax, int ay, const Surface& b, int bx, int by, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (a.At(ax + x, ay + y) != b.At(bx + x, by + y)) return false;
  return true;
}

std::vector<plat::Color> Area(const Surface& s, int x0, int y0, int w, int h) {
  std::vector<plat::Color> v;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) v.push_back(s.At(x, y));
  return v;
}
std::vector<plat::Color> Message(pk::Form1& f) { return Area(f.Display(0), 170, 250, 180, 120); }

// The message area as it looks with exactly these lines written.
std::vector<plat::Color> Expected(const std::string (&lines)[5]) {
  Game ref;
  ref.f.WriteMessage(lines);
  return Message(ref.f);
}

bool FaceShown(pk::Form1& f, int face) { return Same(f.Display(0), 64, 256, f.Face(face), 0, 0, 96, 96); }

// The band of the last line (y 339 on) shows nothing but the background.
bool LastLineBlank(pk::Form1& f) { return Same(f.Display(0), 170, 339, f.Display(2), 170, 339, 180, 20); }

// Starts the roll and presses keys until the page shown is `page`.
void RollTo(Game& g, int page) {
  g.f.Ending();
  while (g.f.EDpage < page) ASSERT_FALSE(g.Key());
  ASSERT_EQ(g.f.EDpage, page);
}

}  // namespace

TEST(Bankruptcy, AnyOfTheFourAnnouncesItWithTheirOwnLinesAndFace) {
  const std::string lines[4][5] = {
      {"キャプテ～ン！", "お金なくなっちゃったよ！", "もうダメだね！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"…社長、", "資金がなくなりました", "倒産です…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"おいおい、", "金がないぜ…", "倒産だよ…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"だんな！", "給料なしですかい？", "こりゃあ、おしまいだ！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"}};
  std::vector<plat::Color> expected[4];
  for (int s = 0; s < 4; ++s) expected[s] = Expected(lines[s]);

  int count[4] = {};
  for (uint64_t seed = 1; seed <= 400; ++seed) {
    Game g(seed);
    // Who asked last or who is away must not matter.
    g.f.Jnow = seed % 4;
    if (seed % 2) g.f.Jsigoto(seed % 4) = 2;
    g.f.Timer2.Interval(500);
    g.f.GameOver();
    const int s = int(g.f.Ransu);
    ASSERT_TRUE(s >= 0 && s <= 3) << "seed " << seed;
    ++count[s];
    ASSERT_TRUE(FaceShown(g.f, s)) << "seed " << seed;
    ASSERT_EQ(Message(g.f), expected[s]) << "seed " << seed;
    ASSERT_EQ(g.f.Mode, 2);
    ASSERT_EQ(g.f.Timer2.Interval(), 0);
    ASSERT_EQ(g.hp.audio.log, (std::vector<std::string>{"stop", "close", "effect /opt/pikora/se/se1"}));
  }
  for (int s = 0; s < 4; ++s) {
    EXPECT_GT(count[s], 70) << "speaker " << s;
    EXPECT_LT(count[s], 130) << "speaker " << s;
  }
}

TEST(Bankruptcy, TheNextKeySilencesTheEffectAndEndsAfterTheFaceHasRisen) {
  Game g;
  const uint32_t t0 = g.hp.Ticks();
  g.hp.KeyAt(t0 + 50, plat::kKeyLeft);  // pressed while the face slides in
  g.f.GameOver();
  EXPECT_GE(g.hp.Ticks() - t0, 300u);
  EXPECT_TRUE(FaceShown(g.f, int(g.f.Ransu)));
  EXPECT_EQ(g.hp.Pending(), 1u) << "the key waits for the slide";
  const size_t before = g.hp.audio.log.size();
  EXPECT_FALSE(g.f.Step());
  EXPECT_TRUE(g.f.Ended());
  EXPECT_EQ(std::vector<std::string>(g.hp.audio.log.begin() + before, g.hp.audio.log.end()),
            std::vector<std::string>{"silence"})
      << "no music command after the music was closed";
}

TEST(Ending, TheOwnerGreetsAndTheMainTickStops) {
  Game g;
  g.f.Timer2.Interval(500);
  g.f.Ending();
  const std::string greeting[5] = {"おっす！ただいま", "どう？がんばってる？", "", "", "    ▼"};
  EXPECT_EQ(Message(g.f), Expected(greeting));
  EXPECT_TRUE(FaceShown(g.f, 5));
  EXPECT_EQ(g.hp.audio.log, (std::vector<std::string>{"stop", "close", "effect /opt/pikora/se/se1"}));
  EXPECT_EQ(g.f.EDpage, 0);
  EXPECT_EQ(g.f.Mode, 3);
  EXPECT_EQ(g.f.Timer2.Interval(), 0);
}

TEST(Ending, BankruptAndOutOfTimeInOneTickTheRollStartsOverTheAnnouncement) {
  Game g;
  g.f.Sikin = 1;
  g.f.Jikan = 1;
  for (int s = 0; s <= 3; ++s) {  // everyone away: no request in this tick
    g.f.Jsigoto(s) = 1;
    g.f.Jkikan(s) = 100;
  }
  g.f.Timer2.Interval(500);
  g.f.Timer2_Timer();
  EXPECT_EQ(g.f.Mode, 3);
  EXPECT_EQ(g.f.Sikin, 0);
  EXPECT_EQ(g.f.Jikan, 0);
  std::vector<std::string> music;
  for (const auto& l : g.hp.audio.log)
    if (l == "stop" || l == "close" || l.find("se1") != std::string::npos) music.push_back(l);
  const std::string se1 = "effect /opt/pikora/se/se1";
  EXPECT_EQ(music, (std::vector<std::string>{"stop", "close", se1, "stop", "close", se1}));
  EXPECT_TRUE(FaceShown(g.f, 5)) << "the owner's face over the employee's";
  const std::string greeting[5] = {"おっす！ただいま", "どう？がんばってる？", "", "", "    ▼"};
  EXPECT_EQ(Message(g.f), Expected(greeting));
  EXPECT_FALSE(g.Key());
  EXPECT_GE(g.f.EDpage, 1) << "the roll goes on from the first page";
}

TEST(EndingRoll, WithoutAGrownCreatureTheSalePageIsSkippedAndNineKeysEnd) {
  Game g;
  g.NoGrownCreatures();
  g.f.PikoraSyu(9, 3) = 4;   // outside the used pen: never counts
  g.f.PikoraSyu(2, 14) = 4;
  g.f.Jnow = 0;
  g.f.Ending();
  const size_t before = g.hp.audio.log.size();
  std::vector<int> shown;
  int keys = 0;
  bool ended = false;
  while (!ended && keys < 20) {
    ended = g.Key();
    ++keys;
    shown.push_back(int(g.f.EDpage));
    if (keys == 1) {
      const std::string page1[5] = {"まあ、倒産してない", "ところをみると", "がんばってくれた", "みたいだね", "     ▼"};
      EXPECT_EQ(Message(g.f), Expected(page1));
      EXPECT_EQ(g.f.EDflag, 0);
    }
  }
  EXPECT_EQ(keys, 9);
  EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(g.f.Jnow, 0) << "no sale was made";
  for (int e : g.hp.audio.Effects()) EXPECT_NE(e, 8);
  EXPECT_EQ(g.hp.audio.log.size() - before, 9u) << "one key sound per page, nothing else";
}

TEST(EndingRoll, AGrownCreatureInTheLastCellBringsTheSalePageAndTenKeys) {
  Game g;
  g.NoGrownCreatures();
  g.f.PikoraSyu(8, 13) = 4;
  g.f.PikoraLv(8, 13) = 100;
  g.f.Jnow = 0;
  g.f.Ending();
  ASSERT_FALSE(g.Key());
  EXPECT_EQ(g.f.EDpage, 1);
  EXPECT_EQ(g.f.EDflag, 1);
  const uint32_t t0 = g.hp.Ticks();
  ASSERT_FALSE(g.Key());
  EXPECT_EQ(g.f.EDpage, 2);
  EXPECT_GT(g.hp.Ticks() - t0, 500u) << "the owner pauses before the sale";
  EXPECT_EQ(g.f.Jnow, 3) << "the sale is priced as パウ's";
  const std::string page2[5] = {"残っている", "ピコラは", "売っちゃうおうね", "", "     ▼"};
  EXPECT_EQ(Message(g.f), Expected(page2));
  int keys = 2;
  while (!g.Key()) ASSERT_LT(++keys, 20);
  EXPECT_EQ(keys + 1, 10);
}

// Depends on the sale of the pen: every grown creature goes at factor 10,
// price = strength up to 999, and the status panel shows the result.
TEST(EndingRoll, TheSalePageSellsEveryGrownCreatureAsPau) {
  Game g;
  const int lv[5] = {100, 150, 237, 998, 1500};  // row 2 holds the five adults
  int funds = int(g.f.Sikin), score = int(g.f.Score), kazu = int(g.f.PikoraKazu);
  for (int c = 0; c < 5; ++c) {
    g.f.PikoraLv(c, 2) = lv[c];
    const int price = std::min(lv[c], 999);
    funds += price;
    score += price / 10;
  }
  g.f.Jnow = 0;
  RollTo(g, 2);
  int eights = 0;
  for (int e : g.hp.audio.Effects()) eights += e == 8;
  EXPECT_EQ(eights, 5);
  EXPECT_EQ(g.f.Sikin, funds);
  EXPECT_EQ(g.f.Score, score);
  EXPECT_EQ(g.f.PikoraKazu, kazu - 5);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(g.f.PikoraSyu(c, 2), 5);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(g.f.PikoraSyu(c, 1), 2) << "young creatures stay";
  Game ref;
  ref.f.Jikan = g.f.Jikan;
  ref.f.Sikin = funds;
  ref.f.Score = score;
  ref.f.Esa = g.f.Esa;
  ref.f.Sthyouji();
  EXPECT_EQ(Area(g.f.Display(0), 130, 60, 100, 150), Area(ref.f.Display(0), 130, 60, 100, 150));
}

TEST(EndingRoll, TheScoreAtEachPageChoosesTheCommentsAndTheClosingPicture) {
  std::map<int, std::vector<plat::Color>> plain, high;
  for (int score : {9999, 10000}) {
    Game g;
    g.NoGrownCreatures();
    g.f.Score = score;
    g.f.Ending();
    auto& pages = score > 9999 ? high : plain;
    while (g.f.EDpage < 9) {
      ASSERT_FALSE(g.Key());
      pages[g.f.EDpage] = Message(g.f);
      if (g.f.EDpage == 7) {
        EXPECT_TRUE(FaceShown(g.f, 4)) << "the logo rises on page 7";
      }
      if (g.f.EDpage < 9) {
        EXPECT_FALSE(LastLineBlank(g.f)) << "page " << int(g.f.EDpage) << " has its triangle";
      }
    }
    EXPECT_TRUE(LastLineBlank(g.f)) << "the last page has no triangle";
    // The closing picture: its top 330 rows stand at y 137 to 466.
    const Surface& s = g.f.Display(0);
    const int pic = score > 9999 ? 0 : 1;
    EXPECT_TRUE(Same(s, 465, 137, g.f.EndP(pic), 0, 0, 260, 330)) << "score " << score;
    EXPECT_EQ(s.At(465, 136), 0u);
    EXPECT_EQ(s.At(465, 467), 0u);
    EXPECT_EQ(s.At(767, 575), 0u);
    EXPECT_EQ(s.At(416, 0), 0u);
    // The left part's own right border, corners and edge, down column 12.
    EXPECT_TRUE(Same(s, 384, 0, g.f.Chip(), 64, 0, 32, 32));
    for (int r = 1; r <= 16; ++r) EXPECT_TRUE(Same(s, 384, 32 * r, g.f.Chip(), 64, 32, 32, 32)) << r;
    EXPECT_TRUE(Same(s, 384, 544, g.f.Chip(), 64, 64, 32, 32));
    // The last key clears the message, waits 500 ms and ends.
    const uint32_t t0 = g.hp.Ticks();
    EXPECT_TRUE(g.Key());
    EXPECT_EQ(g.f.EDpage, 10);
    EXPECT_GT(g.hp.Ticks() - t0, 500u);
    EXPECT_TRUE(Same(s, 170, 250, g.f.Display(2), 170, 250, 180, 120));
  }
  for (int p = 3; p <= 9; ++p)
    EXPECT_EQ(plain[p] == high[p], p > 6) << "page " << p;
  const std::string plain3[5] = {"ホントに", "よくやってくれたね", "", "", "     ▼"};
  const std::string high6[5] = {"また長期休暇", "とりま～す！", "", "", "     ▼"};
  const std::string last[5] = {"", ".....おしまい ☆", "", "", ""};
  EXPECT_EQ(plain[3], Expected(plain3));
  EXPECT_EQ(high[6], Expected(high6));
  EXPECT_EQ(plain[9], Expected(last));
}

TEST(EndingRoll, AScoreRisingOverTheLineDuringTheRollSwitchesTheLaterPages) {
  Game g;
  g.f.Score = 9999;
  RollTo(g, 2);
  g.f.Score = 10000;  // as a sale on the sale page would leave it
  ASSERT_FALSE(g.Key());
  const std::string high3[5] = {"…", "え…？", "…あれ？", "", "     ▼"};
  EXPECT_EQ(Message(g.f), Expected(high3));
  while (g.f.EDpage < 9) ASSERT_FALSE(g.Key());
  EXPECT_TRUE(Same(g.f.Display(0), 465, 137, g.f.EndP(0), 0, 0, 260, 330));
}

// Depends on the sale of the pen: 9990 plus a tenth of a 100 sale is 10000.
TEST(EndingRoll, TheSaleItselfCanLiftTheScoreIntoTheHighScoreRoll) {
  Game g;
  g.NoGrownCreatures();
  g.f.PikoraSyu(4, 6) = 4;
  g.f.PikoraLv(4, 6) = 100;
  g.f.Score = 9990;
  RollTo(g, 3);
  EXPECT_EQ(g.f.Score, 10000);
  const std::string high3[5] = {"…", "え…？", "…あれ？", "", "     ▼"};
  EXPECT_EQ(Message(g.f), Expected(high3));
}

TEST(EndingRoll, KeysPressedDuringTheClosingPictureTurnPagesOnlyAfterIt) {
  Game g;
  RollTo(g, 8);
  const uint32_t t0 = g.hp.Ticks();
  g.hp.KeyAt(t0, 'A');
  g.hp.KeyAt(t0 + 100, 'A');
  g.hp.KeyAt(t0 + 200, 'A');
  ASSERT_TRUE(g.f.Step());
  EXPECT_EQ(g.f.EDpage, 9);
  EXPECT_GT(g.hp.Ticks() - t0, 17u * 50u) << "seventeen steps of the picture";
  EXPECT_TRUE(Same(g.f.Display(0), 465, 137, g.f.EndP(1), 0, 0, 260, 330)) << "the picture stands whole";
  EXPECT_EQ(g.hp.Pending(), 2u);
  EXPECT_FALSE(g.f.Step());
  EXPECT_TRUE(g.f.Ended());
  EXPECT_EQ(g.f.EDpage, 10);
  EXPECT_EQ(g.hp.Pending(), 1u) << "nothing is handled after the end";
}
