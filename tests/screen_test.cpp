// Chips, frames, panels, the shake, the face rise and the intro, read back
// from the pixel buffers the player would see.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/Form.h"
#include "platform/Headless.h"

namespace {

using plat::Color;
using plat::Surface;

// Every pixel of the test tile sheet tells its chip and its place in the chip,
// and none is black or one of the two text colours.
Color SheetPixel(int chip, int x, int y) { return plat::Rgb(40 + 6 * chip, 8 + 7 * x, 8 + 7 * y); }

// The headless twin with pictures a test can recognise, keeping a copy of the
// visible surface each time it is shown when asked to.
struct TestPlatform : plat::Headless {
  TestPlatform() {
    OwnPictures().Chip = Surface(192, 192);
    for (int n = 0; n <= 35; ++n)
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) OwnPictures().Chip.Set((n % 6) * 32 + x, (n / 6) * 32 + y, SheetPixel(n, x, y));
    for (int i = 0; i <= 5; ++i)
      for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) OwnPictures().Face[i].Set(x, y, plat::Rgb(200 + i, 2 * x, 2 * y + 1));
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) OwnPictures().Rogo.Set(x, y, plat::Rgb(250, 3 * x + 1, 3 * y + 1));
  }
  void Present() override {
    Headless::Present();
    if (keepShots) shots.push_back(display_[0]);
  }
  bool keepShots = false;
  std::vector<Surface> shots;
};

struct Screen {
  Screen() { f.HenSyoki(); }
  TestPlatform hp;
  pk::Form1 f{hp};
};

// The chip whose sheet square fills cell (c, r) exactly, or -1.
int ChipAt(const Surface& s, int c, int r) {
  const int n = int((s.At(32 * c, 32 * r) >> 16) - 40) / 6;
  if (n < 0 || n > 35) return -1;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (s.At(32 * c + x, 32 * r + y) != SheetPixel(n, x, y)) return -1;
  return n;
}

bool Inside(int x, int y, int rx, int ry, int rw, int rh) { return x >= rx && x < rx + rw && y >= ry && y < ry + rh; }

// Count of differing pixels inside and outside a rectangle.
struct Diff {
  int inside = 0, outside = 0;
};
Diff Compare(const Surface& a, const Surface& b, int rx, int ry, int rw, int rh) {
  Diff d;
  for (int y = 0; y < a.H(); ++y)
    for (int x = 0; x < a.W(); ++x)
      if (a.At(x, y) != b.At(x, y)) ++(Inside(x, y, rx, ry, rw, rh) ? d.inside : d.outside);
  return d;
}

// Raised text as a panel draws it: light at (x, y), dark one pixel lower right.
void Raised(Surface& s, int size, Color c1, Color c2, int x, int y, const std::string& text) {
  s.attr = plat::TextAttr{size, true, c1};
  s.curX = x, s.curY = y;
  plat::PrintText(s, text);
  s.attr.color = c2;
  s.curX = x + 1, s.curY = y + 1;
  plat::PrintText(s, text);
}

}  // namespace

TEST(Chips, AChipComesFromItsSquareOfTheSheetToItsCell) {
  Screen s;
  s.f.PutChip(1, 3, 4, 35);
  EXPECT_EQ(s.f.PosX, 96);
  EXPECT_EQ(s.f.PosY, 128);
  EXPECT_EQ(s.f.Display(1).At(96, 128), s.f.Chip().At(160, 160));
  EXPECT_EQ(ChipAt(s.f.Display(1), 3, 4), 35);
  s.f.PutChip(1, 5, 0, 6);
  EXPECT_EQ(s.f.Display(1).At(160 + 31, 31), s.f.Chip().At(31, 32 + 31));
  EXPECT_EQ(ChipAt(s.f.Display(1), 5, 0), 6);
  const Diff d = Compare(s.f.Display(1), s.f.Display(0), 96, 128, 32, 32);
  EXPECT_EQ(d.outside, 32 * 32) << "only the two cells may change";
}

TEST(Chips, WindowFramePiecesLandInTheirCells) {
  Screen s;
  s.f.MakeWaku(1, 1, 6, 6);
  const Surface& b = s.f.Display(2);
  for (int r = 0; r <= 7; ++r)
    for (int c = 0; c <= 7; ++c) {
      int want = -1;
      if (c >= 1 && c <= 6 && r >= 1 && r <= 6) {
        const int col = c == 1 ? 0 : c == 6 ? 2 : 1, row = r == 1 ? 0 : r == 6 ? 2 : 1;
        want = 3 + col + 6 * row;  // 3 4 5 / 9 10 11 / 15 16 17
      }
      EXPECT_EQ(ChipAt(b, c, r), want) << "cell " << c << "," << r;
    }

  // Adjacent corners: no fill, no horizontal edges, vertical edges still run.
  Screen t;
  t.f.MakeWaku(8, 2, 9, 6);
  const Surface& a = t.f.Display(2);
  for (int r = 1; r <= 7; ++r)
    for (int c = 7; c <= 10; ++c) {
      int want = -1;
      if (r == 2 && c == 8) want = 3;
      if (r == 2 && c == 9) want = 5;
      if (r == 6 && c == 8) want = 15;
      if (r == 6 && c == 9) want = 17;
      if (r >= 3 && r <= 5 && c == 8) want = 9;
      if (r >= 3 && r <= 5 && c == 9) want = 11;
      EXPECT_EQ(ChipAt(a, c, r), want) << "cell " << c << "," << r;
    }
}

// The whole background: base screen, pen and windows, each piece where it
// belongs, outside the face box and the status labels.
TEST(Chips, ThePlayScreenBackgroundIsBuiltInOrder) {
  Screen s;
  s.f.SyokiGamen();
  int want[24][18];
  auto piece = [](int c, int r, int x0, int y0, int x1, int y1, int base) {
    const int col = c == x0 ? 0 : c == x1 ? 2 : 1, row = r == y0 ? 0 : r == y1 ? 2 : 1;
    return base + col + 6 * row;
  };
  for (int c = 0; c <= 23; ++c)
    for (int r = 0; r <= 17; ++r) want[c][r] = piece(c, r, 0, 0, 23, 17, 0);
  struct F { int x0, y0, x1, y1, base; };
  for (F fr : {F{12, 1, 22, 16, 21}, F{1, 1, 6, 6, 3}, F{7, 1, 11, 3, 3}, F{7, 4, 11, 6, 3}, F{1, 7, 11, 11, 3},
               F{1, 12, 11, 16, 3}})
    for (int c = fr.x0; c <= fr.x1; ++c)
      for (int r = fr.y0; r <= fr.y1; ++r) want[c][r] = piece(c, r, fr.x0, fr.y0, fr.x1, fr.y1, fr.base);
  for (int c = 0; c <= 23; ++c)
    for (int r = 0; r <= 17; ++r) {
      const bool faceBox = c >= 1 && c <= 5 && r >= 7 && r <= 11;
      const bool labels = c >= 1 && c <= 3 && r >= 2 && r <= 5;
      if (faceBox || labels) continue;
      EXPECT_EQ(ChipAt(s.f.Display(2), c, r), want[c][r]) << "cell " << c << "," << r;
    }
}

TEST(Panels, TheFaceBoxHasItsOutlinesAndFillAtTheirPixels) {
  Screen s;
  s.f.SyokiGamen();
  const Surface& b = s.f.Display(2);
  const Color black = 0, i1 = s.f.Iro1, i2 = s.f.Iro2;
  struct Ring { int x0, y0, x1, y1; Color c; };
  for (Ring g : {Ring{63, 255, 160, 352, black}, Ring{62, 254, 161, 353, i1}, Ring{61, 253, 162, 354, i2},
                 Ring{60, 252, 163, 355, black}}) {
    for (int x = g.x0; x <= g.x1; ++x) {
      ASSERT_EQ(b.At(x, g.y0), g.c) << x << "," << g.y0;
      ASSERT_EQ(b.At(x, g.y1), g.c) << x << "," << g.y1;
    }
    for (int y = g.y0; y <= g.y1; ++y) {
      ASSERT_EQ(b.At(g.x0, y), g.c) << g.x0 << "," << y;
      ASSERT_EQ(b.At(g.x1, y), g.c) << g.x1 << "," << y;
    }
  }
  for (int y = 256; y <= 351; ++y)
    for (int x = 64; x <= 159; ++x) ASSERT_EQ(b.At(x, y), i1) << x << "," << y;
  EXPECT_NE(b.At(59, 300), black) << "nothing outside the outer ring";
  EXPECT_NE(b.At(164, 300), black);
}

TEST(Panels, StatusShowsTimeRoundedDownAndChangesOnlyItsRectangle) {
  Screen s;
  s.f.SyokiGamen();
  struct Case { int jikan; const char* shown; };
  for (Case k : {Case{9, " 0"}, Case{-2, "-1"}, Case{4009, " 400"}}) {
    s.f.Jikan = k.jikan;
    s.f.Score = -15;
    s.f.Sikin = 2147483647;  // the widest funds: still inside on screen
    s.f.Esa = 0;
    s.f.Display(1).Fill(plat::Rgb(1, 2, 3));
    const Surface before = s.f.Display(0);
    s.f.Sthyouji();
    const Diff d = Compare(before, s.f.Display(0), 130, 60, 100, 150);
    EXPECT_EQ(d.outside, 0);
    EXPECT_GT(d.inside, 0);

    Surface ref = s.f.Display(2);
    const char* values[4] = {k.shown, "-15", " 2147483647", " 0"};
    for (int row = 0; row <= 3; ++row) Raised(ref, 13, s.f.Iro1, s.f.Iro2, 130, 66 + 35 * row, values[row]);
    EXPECT_EQ(Compare(ref, s.f.Display(0), 130, 60, 100, 150).inside, 0) << "time " << k.jikan;
  }
}

TEST(Panels, ShopShowsEggsAndFeedForTheAmountStep) {
  Screen s;
  s.f.SyokiGamen();
  for (int step : {5, 1}) {
    s.f.KaimonoKazu = step;
    const Surface before = s.f.Display(0);
    s.f.KaimonoWin();
    const Diff d = Compare(before, s.f.Display(0), 224, 32, 128, 160);
    EXPECT_EQ(d.outside, 0);
    Surface ref = s.f.Display(2);
    Raised(ref, 12, s.f.Iro1, s.f.Iro2, 250, 68, "ﾀﾏｺﾞ");
    Raised(ref, 12, s.f.Iro1, s.f.Iro2, 300, 68, " " + std::to_string(step * 10));
    Raised(ref, 12, s.f.Iro1, s.f.Iro2, 250, 168, "えさ");
    Raised(ref, 12, s.f.Iro1, s.f.Iro2, 300, 168, " " + std::to_string(step * 1000));
    EXPECT_EQ(Compare(ref, s.f.Display(0), 224, 32, 128, 160).inside, 0) << "step " << step;
  }
}

TEST(Panels, ShakenChipStaysWithinThreeLeftUpAndTwoRightDown) {
  Screen s;
  s.f.PenI = 4;
  s.f.PenJ = 2;  // a grown creature in the starting pen
  const int x = (4 + 13) * 32, y = (2 + 2) * 32;
  int minX = 9999, minY = 9999, maxX = -1, maxY = -1;
  for (int n = 0; n < 60; ++n) {
    s.f.Display(0).Fill(0);
    const uint32_t t0 = s.hp.Ticks();
    s.f.BuruBuru();
    EXPECT_GT(s.hp.Ticks() - t0, 80u) << "four waits of more than 20 ms";
    ASSERT_EQ(s.f.ChipNo, 31);
    ASSERT_EQ(s.f.PosX, x);
    ASSERT_EQ(s.f.PosY, y);
    const Surface& v = s.f.Display(0);
    for (int py = 0; py < v.H(); ++py)
      for (int px = 0; px < v.W(); ++px) {
        if (v.At(px, py) == 0) continue;
        ASSERT_EQ(v.At(px, py) >> 16, Color(40 + 6 * 31)) << "only the creature's chip";
        minX = std::min(minX, px), maxX = std::max(maxX, px);
        minY = std::min(minY, py), maxY = std::max(maxY, py);
      }
    ASSERT_GE(minX, x - 3);
    ASSERT_GE(minY, y - 3);
    ASSERT_LE(maxX, x + 31 + 2);
    ASSERT_LE(maxY, y + 31 + 2);
  }
  EXPECT_EQ(minX, x - 3) << "the whole range of offsets is used";
  EXPECT_EQ(maxY, y + 31 + 2);
}

TEST(Panels, RequestPrintsItsLinesPlaysEffectOneAndTheFaceRises) {
  Screen s;
  s.f.SyokiGamen();
  s.f.Jnow = 2;
  s.f.Jsigoto(2) = 4;
  const std::string lines[5] = {"あたためます", "", "たまごを", "もっと", "[ 許可 ⇔ ダメ ]"};
  for (int k = 0; k <= 4; ++k) s.f.Jmsg(2, 4, k) = lines[k];
  s.f.Jmsg(2, 3, 0) = "ちがう";
  s.hp.keepShots = true;
  s.f.MsgHyouji();

  EXPECT_EQ(s.hp.audio.Effects(), std::vector<int>{1});
  ASSERT_EQ(s.hp.shots.size(), 10u) << "one showing per step of the rise";
  Surface ref = s.f.Display(2);
  ref.attr = plat::TextAttr{11, true, s.f.Iro2};
  for (int k = 0; k <= 4; ++k) {
    ref.curX = 178, ref.curY = 259 + 20 * k;
    plat::PrintText(ref, lines[k]);
  }
  EXPECT_EQ(Compare(ref, s.f.Display(0), 170, 250, 180, 120).inside, 0);

  const Surface& first = s.hp.shots.front();
  const Diff d = Compare(s.f.Display(2), first, 64, 346, 96, 6);
  EXPECT_EQ(d.inside, 96 * 6);
  EXPECT_EQ(Compare(s.f.Display(2), first, 64, 256, 96, 96).inside, 96 * 6) << "only rows 346 to 351";
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      if (y < 6) {
        ASSERT_EQ(first.At(64 + x, 346 + y), s.f.Face(2).At(x, y));
      }
      ASSERT_EQ(s.hp.shots.back().At(64 + x, 256 + y), s.f.Face(2).At(x, y));
    }
}

TEST(Intro, LogoThenTitleThenThePlayScreenWithMusic) {
  Screen s;
  s.hp.keepShots = true;
  s.f.Form_Load();
  while (s.f.Timer1.Interval() != 0 && s.f.Step()) {
  }
  ASSERT_GE(s.hp.shots.size(), 2u);

  Surface logo(768, 576);
  logo.Copy(352, 256, 64, 64, s.f.Rogo(), 0, 0);
  EXPECT_EQ(Compare(logo, s.hp.shots[0], 0, 0, 0, 0).outside, 0) << "the logo alone, in the middle";

  Surface title(768, 576);
  for (auto [c, d] : {std::pair{s.f.Iro2, 0}, std::pair{s.f.Iro1, 1}}) {
    title.attr = plat::TextAttr{12, true, c};
    title.curX = 300 + d, title.curY = 280 + d;
    plat::PrintText(title, "有限会社☆ピコラ！");
  }
  EXPECT_EQ(Compare(title, s.hp.shots[1], 0, 0, 0, 0).outside, 0) << "the title alone, logo gone";
  EXPECT_GT(s.hp.Ticks(), 4000u);

  EXPECT_EQ(s.f.Timer1.Interval(), 0);
  EXPECT_EQ(s.hp.audio.log, (std::vector<std::string>{"open /opt/pikora/bg/bg1.mid", "play"}));
  // Outside the panels the visible surface is the background: no logo, no title.
  const Surface& v = s.f.Display(0);
  const Surface& b = s.f.Display(2);
  int stray = 0;
  for (int y = 0; y < 576; ++y)
    for (int x = 0; x < 768; ++x)
      if (!Inside(x, y, 130, 60, 100, 150) && !Inside(x, y, 224, 32, 128, 160) && !Inside(x, y, 70, 400, 300, 180))
        stray += v.At(x, y) != b.At(x, y);
  EXPECT_EQ(stray, 0);
  EXPECT_EQ(Compare(s.f.Display(1), v, 0, 0, 0, 0).outside, 0) << "panels are composed on surface 1";
  EXPECT_EQ(ChipAt(v, 12, 1), 21) << "the pen frame stands";
  EXPECT_EQ(v.At(100, 300), s.f.Iro1) << "the face box stands";
}
