// Chips, frames, panels, the shake, the face rise and the intro, read back
// from the pixel buffers the player would see.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/Form.h"
#include "platform/Headless.h"

namespace {

using plat::Color;
using plat::Surface;

// Every pixel of the test tile sheet tells its chip and its place in the chip.
Color SheetPixel(int chip, int x, int y) { return plat::Rgb(40 + 6 * chip, 8 + 7 * x, 8 + 7 * y); }

// The headless twin with a recognisable sheet and faces; keeps a copy of the
// visible surface at every showing when asked to.
struct Shots : plat::Headless {
  Shots() {
    plat::Pictures& p = PaintablePictures();
    for (int n = 0; n <= 35; ++n)
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) p.Chip.Set((n % 6) * 32 + x, (n / 6) * 32 + y, SheetPixel(n, x, y));
    for (int i = 0; i <= 5; ++i)
      for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) p.Face[i].Set(x, y, plat::Rgb(200 + i, 2 * x, 2 * y + 1));
  }
  void Present() override {
    Headless::Present();
    if (keep) shots.push_back(display_[0]);
  }
  bool keep = false;
  std::vector<Surface> shots;
};

struct Screen {
  Shots hp;
  pk::Form1 f{hp};
  Screen() { f.HenSyoki(); }
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

// The piece at cell (c, r) of a frame whose nine pieces start at sheet chip `base`.
int Piece(int c, int r, int x0, int y0, int x1, int y1, int base) {
  return base + (c == x0 ? 0 : c == x1 ? 2 : 1) + 6 * (r == y0 ? 0 : r == y1 ? 2 : 1);
}

// Differing pixels {inside, outside} the rectangle.
std::pair<int, int> Diff(const Surface& a, const Surface& b, int rx, int ry, int rw, int rh) {
  std::pair<int, int> d{0, 0};
  for (int y = 0; y < a.H(); ++y)
    for (int x = 0; x < a.W(); ++x)
      if (a.At(x, y) != b.At(x, y)) ++(x >= rx && x < rx + rw && y >= ry && y < ry + rh ? d.first : d.second);
  return d;
}

}  // namespace

TEST(Chips, ChipsAndFramesLandInTheirCells) {
  Screen s;
  s.f.PutChip(1, 3, 4, 35);  // from the sheet's (160, 160)
  s.f.PutChip(1, 5, 0, 6);   // from (0, 32)
  EXPECT_EQ(ChipAt(s.f.Display(1), 3, 4), 35);
  EXPECT_EQ(ChipAt(s.f.Display(1), 5, 0), 6);
  EXPECT_EQ(Diff(s.f.Display(1), s.f.Display(0), 96, 128, 32, 32).second, 32 * 32) << "only the two cells change";
  // A plain frame, and one whose corners touch: no fill, no horizontal edges.
  for (auto [x0, y0, x1, y1] : {std::array{1, 1, 6, 6}, std::array{8, 2, 9, 6}}) {
    Screen t;
    t.f.MakeWaku(x0, y0, x1, y1);
    for (int r = y0 - 1; r <= y1 + 1; ++r)
      for (int c = x0 - 1; c <= x1 + 1; ++c) {
        const bool in = c >= x0 && c <= x1 && r >= y0 && r <= y1;
        EXPECT_EQ(ChipAt(t.f.Display(2), c, r), in ? Piece(c, r, x0, y0, x1, y1, 3) : -1) << c << "," << r;
      }
  }
}

TEST(Panels, StatusAndShopRedrawOnlyTheirRectangles) {
  Screen s;
  s.f.SyokiGamen();
  s.f.Score = -15;
  s.f.Sikin = 2147483647;  // the widest funds still fit
  s.f.Esa = 0;
  struct Case { int jikan, step; const char* time; };
  for (Case k : {Case{9, 5, " 0"}, Case{-2, 1, "-1"}, Case{4009, 3, " 400"}}) {
    s.f.Jikan = k.jikan;
    s.f.KaimonoKazu = k.step;
    struct Text { int x, y; std::string s; };
    struct Panel { void (pk::Form1::*draw)(); int x, y, w, h, size; std::vector<Text> texts; };
    const Panel panels[] = {
        {&pk::Form1::Sthyouji, 130, 60, 100, 150, 13,
         {{130, 66, k.time}, {130, 101, "-15"}, {130, 136, " 2147483647"}, {130, 171, " 0"}}},
        {&pk::Form1::KaimonoWin, 224, 32, 128, 160, 12,
         {{250, 68, "ﾀﾏｺﾞ"}, {300, 68, " " + std::to_string(k.step * 10)}, {250, 168, "えさ"},
          {300, 168, " " + std::to_string(k.step * 1000)}}}};
    for (const Panel& p : panels) {
      s.f.Display(1).Fill(plat::Rgb(1, 2, 3));  // shows up if more than the rectangle is copied
      const Surface before = s.f.Display(0);
      (s.f.*p.draw)();
      const auto d = Diff(before, s.f.Display(0), p.x, p.y, p.w, p.h);
      EXPECT_TRUE(d.first > 0 && d.second == 0) << d.first << " inside, " << d.second << " outside";
      Surface ref = s.f.Display(2);  // raised text: light, then dark one pixel lower right
      for (const Text& t : p.texts)
        for (int dark = 0; dark <= 1; ++dark) {
          ref.attr = plat::TextAttr{p.size, true, dark ? s.f.Iro2 : s.f.Iro1};
          ref.curX = t.x + dark, ref.curY = t.y + dark;
          plat::PrintText(ref, t.s);
        }
      EXPECT_EQ(Diff(ref, s.f.Display(0), p.x, p.y, p.w, p.h).first, 0) << "time " << k.jikan << " step " << k.step;
    }
  }
}

TEST(Panels, ShakenChipUsesEveryOffsetFromThreeLeftUpToTwoRightDown) {
  Screen s;
  s.f.PenI = 4;
  s.f.PenJ = 2;  // a grown creature in the starting pen
  const int x = (4 + 13) * 32, y = (2 + 2) * 32;
  int minX = 9999, minY = 9999, maxX = -1, maxY = -1;
  const uint32_t t0 = s.hp.Ticks();
  for (int n = 0; n < 60; ++n) {
    s.f.Display(0).Fill(0);
    s.f.BuruBuru();
    for (int py = 0; py < 576; ++py)
      for (int px = 0; px < 768; ++px) {
        if (s.f.Display(0).At(px, py) == 0) continue;
        ASSERT_EQ(s.f.Display(0).At(px, py) >> 16, Color(40 + 6 * 31)) << "only the creature's chip";
        minX = std::min(minX, px), maxX = std::max(maxX, px), minY = std::min(minY, py), maxY = std::max(maxY, py);
      }
  }
  EXPECT_GT(s.hp.Ticks() - t0, 60u * 80u) << "four waits of 20 ms a shake";
  EXPECT_EQ(std::vector<int>({minX, minY, maxX, maxY}), std::vector<int>({x - 3, y - 3, x + 33, y + 33}));
}

TEST(Panels, RequestPrintsItsLinesPlaysEffectOneAndTheFaceRises) {
  Screen s;
  s.f.SyokiGamen();
  s.f.Jnow = 2;
  s.f.Jsigoto(2) = 4;
  const std::string lines[5] = {"あたためます", "", "たまごを", "もっと", "[ 許可 ⇔ ダメ ]"};
  Surface ref = s.f.Display(2);
  ref.attr = plat::TextAttr{11, true, s.f.Iro2};
  for (int k = 0; k <= 4; ++k) {
    s.f.Jmsg(2, 4, k) = lines[k];
    ref.curX = 178, ref.curY = 259 + 20 * k;
    plat::PrintText(ref, lines[k]);
  }
  s.hp.keep = true;
  s.f.MsgHyouji();
  EXPECT_EQ(s.hp.audio.Effects(), std::vector<int>{1});
  EXPECT_EQ(Diff(ref, s.f.Display(0), 170, 250, 180, 120).first, 0);
  ASSERT_EQ(s.hp.shots.size(), 10u) << "one showing per step of the rise";
  const Surface &first = s.hp.shots.front(), &last = s.hp.shots.back();
  EXPECT_EQ(Diff(s.f.Display(2), first, 64, 256, 96, 96).first, 96 * 6) << "the first step is rows 346 to 351";
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      ASSERT_TRUE(y >= 6 || first.At(64 + x, 346 + y) == s.f.Face(2).At(x, y)) << x << "," << y;
      ASSERT_EQ(last.At(64 + x, 256 + y), s.f.Face(2).At(x, y)) << "the last step is the whole box";
    }
}

TEST(Intro, LogoThenTitleThenThePlayScreenWithMusic) {
  Screen s;
  s.hp.keep = true;
  s.f.Form_Load();
  while (s.f.Timer1.Interval() != 0 && s.f.Step()) {
  }
  EXPECT_EQ(s.f.Timer1.Interval(), 0);
  EXPECT_EQ(s.hp.audio.log, (std::vector<std::string>{"open /opt/pikora/bg/bg1.mid", "play"}));
  EXPECT_GT(s.hp.Ticks(), 4000u);
  ASSERT_GE(s.hp.shots.size(), 2u);
  Surface logo(768, 576), title(768, 576);
  logo.Copy(352, 256, 64, 64, s.f.Rogo(), 0, 0);
  for (int d = 0; d <= 1; ++d) {  // dark first, light one pixel lower right
    title.attr = plat::TextAttr{12, true, d ? s.f.Iro1 : s.f.Iro2};
    title.curX = 300 + d, title.curY = 280 + d;
    plat::PrintText(title, "有限会社☆ピコラ！");
  }
  EXPECT_EQ(Diff(logo, s.hp.shots[0], 0, 0, 0, 0).second, 0) << "the logo alone, in the middle";
  EXPECT_EQ(Diff(title, s.hp.shots[1], 0, 0, 0, 0).second, 0) << "the title alone, logo gone";

  // The background: base screen, pen and windows, outside the face box and labels.
  const Surface& b = s.f.Display(2);
  const int frames[7][5] = {{0, 0, 23, 17, 0}, {12, 1, 22, 16, 21}, {1, 1, 6, 6, 3},    {7, 1, 11, 3, 3},
                            {7, 4, 11, 6, 3},  {1, 7, 11, 11, 3},   {1, 12, 11, 16, 3}};
  for (int c = 0; c <= 23; ++c)
    for (int r = 0; r <= 17; ++r) {
      if ((c >= 1 && c <= 5 && r >= 7 && r <= 11) || (c >= 1 && c <= 3 && r >= 2 && r <= 5)) continue;
      int want = -1;
      for (auto& w : frames)
        if (c >= w[0] && c <= w[2] && r >= w[1] && r <= w[3]) want = Piece(c, r, w[0], w[1], w[2], w[3], w[4]);
      EXPECT_EQ(ChipAt(b, c, r), want) << "cell " << c << "," << r;
    }
  // The face box: four outlines around the fill, each at its exact pixels.
  const Color rings[5] = {s.f.Iro1, 0, s.f.Iro1, s.f.Iro2, 0};
  for (int y = 252; y <= 355; ++y)
    for (int x = 60; x <= 163; ++x) {
      const int ring = std::min(std::min(x - 60, 163 - x), std::min(y - 252, 355 - y));  // 0 outermost
      ASSERT_EQ(b.At(x, y), rings[std::max(0, 4 - ring)]) << x << "," << y;
    }
  EXPECT_NE(b.At(59, 300), 0u) << "nothing outside the outer ring";
  EXPECT_NE(b.At(164, 300), 0u);

  // On screen, outside the panels composed on surface 1: the background alone.
  const Surface& v = s.f.Display(0);
  EXPECT_EQ(Diff(s.f.Display(1), v, 0, 0, 0, 0).second, 0);
  Surface want = b;
  for (auto [x, y, w, h] : {std::array{130, 60, 100, 150}, std::array{224, 32, 128, 160}, std::array{70, 400, 300, 176}})
    want.Copy(x, y, w, h, v, x, y);
  EXPECT_EQ(Diff(want, v, 0, 0, 0, 0).second, 0);
}
