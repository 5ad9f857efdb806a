// The drawing primitives at pixel level: copies clipped to both surfaces,
// boxes, text, and a chip landing in its grid cell.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/kit/Text.h"
#include "tests/Harness.h"

using plat::Rgb;
using plat::Surface;

namespace {
Surface Numbered(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Set(x, y, Rgb(x, y, 7));
  return s;
}
}  // namespace

TEST(Surface, CopiesAreClippedToBothSurfacesAndMayOverlapThemselves) {
  const Surface src = Numbered(20, 10);
  Surface d(16, 8, 0);
  d.Copy(-3, 2, 10, 20, src, 5, -1);  // sticks out left, above the source and below the target
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(d.At(x, y), x < 7 && y >= 3 ? src.At(x + 8, y - 3) : 0u) << x << "," << y;
  d.Copy(10, 0, 5, 5, src, 18, 9);  // one source pixel left
  EXPECT_EQ(std::count(d.Pixels().begin(), d.Pixels().end(), src.At(18, 9)), 1);
  Surface e(16, 8, 0);
  e.Copy(2, -2, 5, 5, src, -2, 0);  // sticks out left of the source and above the target
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(e.At(x, y), x >= 4 && x < 7 && y < 3 ? src.At(x - 4, y + 2) : 0u) << x << "," << y;
  Surface line(4, 4, 0);  // a copy one pixel wide, then one high
  line.Copy(1, 0, 1, 3, src, 2, 2);
  line.Copy(0, 3, 3, 1, src, 4, 6);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_EQ(line.At(x, y), x == 1 && y < 3 ? src.At(2, 2 + y) : y == 3 && x < 3 ? src.At(4 + x, 6) : 0u) << x << "," << y;
  for (int dir : {1, -1}) {  // a face sliding on its own surface
    Surface o = Numbered(8, 8);
    o.Copy(0, dir > 0 ? 2 : 0, 8, 6, o, 0, dir > 0 ? 0 : 2);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(o.At(x, y + (dir > 0 ? 2 : 0)), Rgb(x, y + (dir > 0 ? 0 : 2), 7));
  }
}

TEST(Surface, BoxesIncludeBothCornersInEitherOrderAndStayInside) {
  Surface s(10, 10, 0);
  s.Box(7, 6, 2, 1, Rgb(9, 0, 0), false);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool edge = (x == 2 || x == 7) && y >= 1 && y <= 6 ? true : (y == 1 || y == 6) && x >= 2 && x <= 7;
      ASSERT_EQ(s.At(x, y), edge ? Rgb(9, 0, 0) : 0u) << x << "," << y;
    }
  s.Box(-5, 8, 3, 40, Rgb(0, 9, 0), true);
  s.Box(-1, -1, 10, 10, Rgb(0, 0, 9), false);  // wholly outside
  EXPECT_EQ(std::count(s.Pixels().begin(), s.Pixels().end(), Rgb(0, 9, 0)), 8);
  s.Box(8, -3, 12, 0, Rgb(0, 5, 0), true);  // the top row's last two pixels
  EXPECT_EQ(s.At(8, 0), Rgb(0, 5, 0));
  EXPECT_EQ(std::count(s.Pixels().begin(), s.Pixels().end(), Rgb(0, 5, 0)), 2);
  EXPECT_EQ(std::count(s.Pixels().begin(), s.Pixels().end(), Rgb(0, 0, 9)), 0);
  s.Fill(Rgb(1, 1, 1));
  EXPECT_EQ(std::count(s.Pixels().begin(), s.Pixels().end(), Rgb(1, 1, 1)), 100);
}

// Text is inked in its colour below and right of the position, blended at its
// edges over what was there; larger and bolder text inks more; edges clip.
TEST(Surface, TextInksInItsColourFromItsPositionOverWhatWasThere) {
  auto ink = [](int size, bool bold, int x, int y, int box[4]) {
    Surface s(120, 40, Rgb(1, 2, 3));
    s.attr = plat::TextAttr{size, bold, Rgb(200, 100, 0)};
    s.curX = x, s.curY = y;
    plat::PrintText(s, "ピコラ12");
    int n = 0, full = 0;
    box[0] = box[1] = 999, box[2] = box[3] = -1;
    for (int yy = 0; yy < 40; ++yy)
      for (int xx = 0; xx < 120; ++xx) {
        const plat::Color c = s.At(xx, yy);
        if (c == Rgb(1, 2, 3)) continue;
        ++n, full += c == Rgb(200, 100, 0);
        box[0] = std::min(box[0], xx), box[1] = std::min(box[1], yy), box[2] = std::max(box[2], xx), box[3] = std::max(box[3], yy);
      }
    EXPECT_TRUE(full > 0 || x > 50) << "solid strokes in the text colour";
    return n;
  };
  int b[4], big[4];
  const int plain = ink(11, false, 10, 5, b);
  EXPECT_TRUE(b[0] >= 10 && b[1] >= 5 && b[0] <= 13 && b[1] <= 10 && b[2] < 100 && b[3] < 25) << b[0] << " " << b[1];
  EXPECT_GT(ink(11, true, 10, 5, big), plain) << "bold inks more";
  EXPECT_GT(ink(13, true, 10, 5, big), plain);
  EXPECT_GT(big[3] - big[1], b[3] - b[1]) << "larger is taller";
  EXPECT_LT(ink(11, false, 100, 30, b), plain) << "cut off at the edges";
  EXPECT_TRUE(b[2] <= 119 && b[3] <= 39);
}

TEST(Chips, AChipIsCopiedFromItsSquareOfTheSheetIntoItsCell) {
  pktest::Game g;
  g.f.Display(1).Fill(0);
  g.f.PutChip(1, 3, 4, 35);  // the sheet's (160, 160) to (96, 128)
  g.f.PutChip(1, 23, 17, 6);
  const plat::Surface& d = g.f.Display(1);
  int changed = 0;
  for (int y = 0; y < 576; ++y)
    for (int x = 0; x < 768; ++x) changed += d.At(x, y) != 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      ASSERT_EQ(d.At(96 + x, 128 + y), g.f.Chip().At(160 + x, 160 + y));
      ASSERT_EQ(d.At(736 + x, 544 + y), g.f.Chip().At(x, 32 + y));
    }
  EXPECT_LE(changed, 2 * 32 * 32);
}

