// The two ends of a game: the bankruptcy announcement and the owner's roll.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/Harness.h"

namespace {

using Pixels = std::vector<plat::Color>;

// A game in play on a patterned background, so a cleared area is not just black.
struct Game : pktest::Game {
  explicit Game(uint64_t seed = 1) : pktest::Game(seed) {
    f.HenSyoki();
    for (int s = 0; s <= 3; ++s) f.Jnouryoku(s, 5, 0) = s == 3 ? 10 : 12 + s;  // sale factors
    for (int y = 0; y < 576; ++y)
      for (int x = 0; x < 768; ++x) f.Display(2).Set(x, y, plat::Rgb(x & 63, 40, y & 63));
    f.Tunagi(2, 1);
    f.Tunagi(2, 0);
  }
  bool Key() { return Ends([&] { f.Display_KeyDown('A'); }); }
  void NoGrownCreatures() {
    for (int c = 0; c <= 9; ++c)
      for (int r = 0; r <= 14; ++r)
        if (f.PikoraSyu(c, r) == 4) f.PikoraSyu(c, r) = 3;
  }
};

Pixels Area(const plat::Surface& s, int x0, int y0, int w, int h) {
  Pixels v;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) v.push_back(s.At(x, y));
  return v;
}
Pixels Message(pk::Form1& f) { return Area(f.Display(0), 170, 250, 180, 120); }
// The message area as it looks with exactly these lines written.
Pixels Expected(const std::string (&lines)[5]) {
  Game ref;
  ref.f.WriteMessage(lines);
  return Message(ref.f);
}
bool FaceShown(pk::Form1& f, int face) { return Area(f.Display(0), 64, 256, 96, 96) == Area(f.Face(face), 0, 0, 96, 96); }
bool PictureShown(pk::Form1& f, int pic) { return Area(f.Display(0), 465, 137, 260, 330) == Area(f.EndP(pic), 0, 0, 260, 330); }
// The band of the last line (y 339 on) shows nothing but the background.
bool LastLineBlank(pk::Form1& f) { return Area(f.Display(0), 170, 339, 180, 20) == Area(f.Display(2), 170, 339, 180, 20); }

const std::string kSe1 = "effect /opt/pikora/se/se1";

}  // namespace

// Whoever asked last or is away, any of the four brings the news, about equally
// often; a key pressed while the face slides in ends the game after it.
TEST(Bankruptcy, AnyOfTheFourAnnouncesItAndTheNextKeyEndsWithOnlySilence) {
  const std::string lines[4][5] = {
      {"キャプテ～ン！", "お金なくなっちゃったよ！", "もうダメだね！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"…社長、", "資金がなくなりました", "倒産です…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"おいおい、", "金がないぜ…", "倒産だよ…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
      {"だんな！", "給料なしですかい？", "こりゃあ、おしまいだ！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"}};
  Pixels expected[4];
  for (int s = 0; s < 4; ++s) expected[s] = Expected(lines[s]);
  int count[4] = {};
  for (uint64_t seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Game g(seed);
    g.f.Jnow = seed % 4;
    if (seed % 2) g.f.Jsigoto(seed % 4) = 2;
    g.f.Timer2.Interval(500);
    const uint32_t t0 = g.hp.Ticks();
    g.hp.KeyAt(t0 + 50, plat::kKeyLeft);
    g.f.GameOver();
    const int s = int(g.f.Ransu);
    ASSERT_TRUE(s >= 0 && s <= 3);
    ++count[s];
    ASSERT_TRUE(FaceShown(g.f, s));
    ASSERT_EQ(Message(g.f), expected[s]);
    ASSERT_EQ(g.f.Mode, 2);
    ASSERT_EQ(g.f.Timer2.Interval(), 0);
    ASSERT_GE(g.hp.Ticks() - t0, 300u);
    ASSERT_EQ(g.hp.Pending(), 1u) << "the key waits for the slide";
    ASSERT_FALSE(g.f.Step());
    ASSERT_TRUE(g.f.Ended());
    ASSERT_EQ(g.hp.audio.log, (std::vector<std::string>{"stop", "close", kSe1, "silence"}));
  }
  for (int s = 0; s < 4; ++s) EXPECT_TRUE(count[s] > 70 && count[s] < 130) << "speaker " << s << ": " << count[s];
}

TEST(Ending, BankruptAndOutOfTimeInOneTickTheOwnerGreetsOverTheAnnouncement) {
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
  EXPECT_EQ(g.f.EDpage, 0);
  EXPECT_EQ(g.f.Timer2.Interval(), 0);
  std::vector<std::string> music;
  for (const auto& l : g.hp.audio.log)
    if (l == "stop" || l == "close" || l == kSe1) music.push_back(l);
  EXPECT_EQ(music, (std::vector<std::string>{"stop", "close", kSe1, "stop", "close", kSe1}));
  EXPECT_TRUE(FaceShown(g.f, 5)) << "the owner's face over the employee's";
  const std::string greeting[5] = {"おっす！ただいま", "どう？がんばってる？", "", "", "    ▼"};
  EXPECT_EQ(Message(g.f), Expected(greeting));
  EXPECT_FALSE(g.Key());
  EXPECT_GE(g.f.EDpage, 1) << "the roll goes on from the first page";
}

// Only a grown creature inside the used pen (its last cell included) brings
// the sale page, priced as パウ's; without one nine keys end the roll.
TEST(EndingRoll, TheSalePageComesOnlyWithAGrownCreatureLeft) {
  const std::string page1[5] = {"まあ、倒産してない", "ところをみると", "がんばってくれた", "みたいだね", "     ▼"};
  const std::string page2[5] = {"残っている", "ピコラは", "売っちゃうおうね", "", "     ▼"};
  for (bool grown : {false, true}) {
    SCOPED_TRACE(grown ? "grown" : "none grown");
    Game g;
    g.NoGrownCreatures();
    g.f.PikoraSyu(9, 3) = 4;  // outside the used pen: never counts
    g.f.PikoraSyu(2, 14) = 4;
    if (grown) {
      g.f.PikoraSyu(8, 13) = 4;
      g.f.PikoraLv(8, 13) = 100;
    }
    g.f.Jnow = 0;
    const int64_t funds = g.f.Sikin, score = g.f.Score;
    g.f.Timer2.Interval(500);
    g.f.Ending();
    EXPECT_TRUE(g.f.Mode == 3 && g.f.Timer2.Interval() == 0) << "the main tick stops for the roll";
    const size_t sounds = g.hp.audio.log.size();
    std::vector<int> shown;
    for (bool ended = false; !ended && shown.size() < 20;) {
      const uint32_t t0 = g.hp.Ticks();
      ended = g.Key();
      shown.push_back(int(g.f.EDpage));
      EXPECT_TRUE(shown.size() > 1 || Message(g.f) == Expected(page1));
      if (grown && g.f.EDpage == 2) {
        EXPECT_EQ(Message(g.f), Expected(page2));
        EXPECT_GT(g.hp.Ticks() - t0, 500u) << "the owner pauses before the sale";
      }
    }
    std::vector<int> pages;
    for (int p = grown ? 1 : 2; p <= 10; ++p) pages.push_back(p);
    EXPECT_EQ(shown, pages);
    EXPECT_EQ(g.f.Jnow, grown ? 3 : 0);
    EXPECT_EQ(g.f.Sikin, funds + (grown ? 100 : 0));
    EXPECT_EQ(g.f.Score, score + (grown ? 10 : 0));
    EXPECT_EQ(g.hp.audio.log.size() - sounds, pages.size() + grown) << "a key sound per page and one per sale";
  }
}

// Above 9999 at each page, the comments and the closing picture change; the
// sale on page 2 can lift the score over the line (9990 + 100 / 10).
TEST(EndingRoll, TheScoreChoosesTheCommentsAndTheClosingPicture) {
  std::map<int, Pixels> pages[3];
  for (int k : {0, 1, 2}) {
    const int high = k > 0;
    SCOPED_TRACE("case " + std::to_string(k));
    Game g;
    g.NoGrownCreatures();
    g.f.Score = k == 0 ? 9999 : k == 1 ? 10000 : 9990;
    if (k == 2) {
      g.f.PikoraSyu(4, 6) = 4;
      g.f.PikoraLv(4, 6) = 100;
    }
    g.f.Ending();
    while (g.f.EDpage < 8) {
      ASSERT_FALSE(g.Key());
      pages[k][int(g.f.EDpage)] = Message(g.f);
      EXPECT_FALSE(LastLineBlank(g.f)) << "page " << int(g.f.EDpage) << " has its triangle";
      EXPECT_TRUE(g.f.EDpage != 7 || FaceShown(g.f, 4)) << "the logo rises on page 7";
    }
    EXPECT_EQ(g.f.Score, high ? 10000 : 9999);
    // Keys pressed while the closing picture rises turn pages only after it.
    const uint32_t t0 = g.hp.Ticks();
    for (uint32_t k = 0; k < 3; ++k) g.hp.KeyAt(t0 + 100 * k, 'A');
    ASSERT_TRUE(g.f.Step());
    EXPECT_EQ(g.f.EDpage, 9);
    EXPECT_GT(g.hp.Ticks() - t0, 17u * 50u) << "seventeen steps of the picture";
    EXPECT_EQ(g.hp.Pending(), 2u);
    pages[k][9] = Message(g.f);
    EXPECT_TRUE(LastLineBlank(g.f)) << "the last page has no triangle";
    EXPECT_TRUE(PictureShown(g.f, high ? 0 : 1));
    const plat::Surface& s = g.f.Display(0);
    const int black[4][2] = {{465, 136}, {465, 467}, {767, 575}, {416, 0}};
    for (auto& b : black) EXPECT_EQ(s.At(b[0], b[1]), 0u) << b[0] << "," << b[1];
    for (int r = 0; r <= 17; ++r)  // the left part's own right border down column 12
      EXPECT_EQ(Area(s, 384, 32 * r, 32, 32), Area(g.f.Chip(), 64, r == 0 ? 0 : r == 17 ? 64 : 32, 32, 32)) << r;
    // The last key clears the message, waits 500 ms and ends; nothing after it.
    const uint32_t t1 = g.hp.Ticks();
    EXPECT_FALSE(g.f.Step());
    EXPECT_TRUE(g.f.Ended());
    EXPECT_EQ(g.f.EDpage, 10);
    EXPECT_GE(g.hp.Ticks() - t1, 500u);
    EXPECT_EQ(g.hp.Pending(), 1u);
    EXPECT_EQ(Message(g.f), Area(g.f.Display(2), 170, 250, 180, 120));
  }
  for (int p = 3; p <= 9; ++p) {
    EXPECT_EQ(pages[0][p] == pages[1][p], p > 6) << "page " << p;
    EXPECT_EQ(pages[2][p], pages[1][p]) << "page " << p;
  }
  const std::string plain3[5] = {"ホントに", "よくやってくれたね", "", "", "     ▼"};
  const std::string high3[5] = {"…", "え…？", "…あれ？", "", "     ▼"};
  const std::string last[5] = {"", ".....おしまい ☆", "", "", ""};
  EXPECT_EQ(pages[0][3], Expected(plain3));
  EXPECT_EQ(pages[1][3], Expected(high3));
  EXPECT_EQ(pages[0][9], Expected(last));
}
