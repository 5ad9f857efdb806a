// The pictures the program carries: sizes, substance, the tile sheet's frames
// tiling without seams, the creatures on their ground, the decoders refusing
// broken sources, and a glyph in the font for every character the game prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Embedded.h"
#include "platform/Platform.h"
#include "tests/Harness.h"

namespace plat {
// Defined beside LoadPictures.
Surface DecodeChipSheet(std::span<const uint8_t> text);
Surface DecodeSvg(std::span<const uint8_t> svg, int w, int h, Color under);
}  // namespace plat

namespace {

using plat::Color;
using plat::Surface;

const plat::Pictures& Pics() {
  static auto p = plat::LoadPictures();
  return *p;
}

Color Px(int chip, int x, int y) { return Pics().Chip.At((chip % 6) * 32 + x, (chip / 6) * 32 + y); }

size_t Colours(const Surface& s) { return std::set<Color>(s.Pixels().begin(), s.Pixels().end()).size(); }

int DiffPixels(int a, int b) {
  int n = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) n += Px(a, x, y) != Px(b, x, y);
  return n;
}

TEST(Pictures, EveryPictureHasItsSizeAndRealContent) {
  const auto& p = Pics();
  EXPECT_EQ(p.Chip.W(), 192);
  EXPECT_EQ(p.Chip.H(), 192);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p.Face[i].W(), 96) << "face " << i;
    EXPECT_EQ(p.Face[i].H(), 96) << "face " << i;
    // A face drawn with shading, not a flat or failed render.
    EXPECT_GE(Colours(p.Face[i]), 200u) << "face " << i;
  }
  EXPECT_EQ(p.Rogo.W(), 64);
  EXPECT_EQ(p.Rogo.H(), 64);
  EXPECT_GE(Colours(p.Rogo), 60u);
  EXPECT_EQ(p.Rogo.At(0, 0), 0u) << "the logo stands alone on black";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(p.EndP[i].W(), 260);
    EXPECT_EQ(p.EndP[i].H(), 337);
    EXPECT_GE(Colours(p.EndP[i]), 1000u) << "closing picture " << i;
  }
  EXPECT_GE(Colours(p.Chip), 40u);
  // Six different portraits and two different closing pictures.
  std::set<uint64_t> faces;
  for (const auto& f : p.Face) faces.insert(f.Hash());
  EXPECT_EQ(faces.size(), 6u);
  EXPECT_NE(p.EndP[0].Hash(), p.EndP[1].Hash());
}

TEST(Pictures, LogoCornersShowTheFaceBoxFill) {
  // The logo's corners are see-through and show the face box's own fill.
  EXPECT_EQ(Pics().Face[4].At(0, 0), plat::Rgb(150, 120, 90));
  EXPECT_EQ(Pics().Face[4].At(95, 95), plat::Rgb(150, 120, 90));
}

// The ground of the pen, every creature chip stands on it.
constexpr int kGround = 28;
constexpr int kCreatures[] = {30, 18, 19, 24, 25, 20, 26, 31, 32};

TEST(Pictures, CreaturesStandOnThePenGround) {
  for (int c : kCreatures)
    for (int y : {0, 1, 2, 29, 30, 31})
      for (int x : {0, 1, 2, 29, 30, 31})
        EXPECT_EQ(Px(c, x, y), Px(kGround, x, y)) << "chip " << c << " at " << x << "," << y;
}

TEST(Pictures, EachStageHasTwoPosesAndTheStagesDiffer) {
  const int poses[4][2] = {{18, 19}, {24, 25}, {20, 26}, {31, 32}};
  for (const auto& p : poses) EXPECT_GE(DiffPixels(p[0], p[1]), 30) << "chips " << p[0] << ", " << p[1];
  const int stage[5] = {30, 18, 24, 20, 31};  // egg, three young stages, grown
  for (int a = 0; a < 5; ++a)
    for (int b = a + 1; b < 5; ++b)
      EXPECT_GE(DiffPixels(stage[a], stage[b]), 80) << "stages " << a << " and " << b;
  // It grows: each young stage covers more of its cell than the one before.
  int prev = 0;
  for (int s = 1; s < 5; ++s) {
    int covered = DiffPixels(stage[s], kGround);
    EXPECT_GT(covered, prev + 40) << "stage " << s;
    prev = covered;
  }
}

// The nine pieces of a frame set in sheet order, and the fill seen outside it.
struct Set {
  int p[9];
  int outside;  // -1: nothing outside (the base screen's own corners)
};
constexpr Set kBase{{0, 1, 2, 6, 7, 8, 12, 13, 14}, -1};
constexpr Set kWaku{{3, 4, 5, 9, 10, 11, 15, 16, 17}, 7};
constexpr Set kPen{{21, 22, 23, 27, 28, 29, 33, 34, 35}, 7};

// Pixel of an edge piece read along (u) and across (v) the edge, v = 0 at the
// outer side, for the top, bottom, left and right edges.
Color Edge(int chip, int side, int u, int v) {
  switch (side) {
    case 0: return Px(chip, u, v);
    case 1: return Px(chip, u, 31 - v);
    case 2: return Px(chip, v, u);
    default: return Px(chip, 31 - v, u);
  }
}
Color Fill(int chip, int side, int u, int v) { return Edge(chip, side, u, v); }

// Every line of an edge piece running along the edge is either one colour
// (the border, so it lines up with itself) or the very line of the inside
// fill or of the outside tiles at that place (so the pattern runs on across
// the piece); the inside fill reaches the inner side.
TEST(Pictures, FrameEdgesContinueTheirFillAndBorderWithoutSeams) {
  for (const Set& set : {kBase, kWaku, kPen}) {
    const int fill = set.p[4];
    const int edges[4] = {set.p[1], set.p[7], set.p[3], set.p[5]};
    for (int side = 0; side < 4; ++side) {
      const int e = edges[side];
      int firstInside = -1, borderLines = 0;
      for (int v = 0; v < 32; ++v) {
        bool uniform = true, inside = true, outside = set.outside >= 0;
        for (int u = 0; u < 32; ++u) {
          uniform &= Edge(e, side, u, v) == Edge(e, side, 0, v);
          inside &= Edge(e, side, u, v) == Fill(fill, side, u, v);
          if (set.outside >= 0) outside &= Edge(e, side, u, v) == Fill(set.outside, side, u, v);
        }
        EXPECT_TRUE(uniform || inside || outside) << "chip " << e << ", line " << v << " across the edge";
        if (inside && firstInside < 0) firstInside = v;
        if (!inside && firstInside >= 0) ADD_FAILURE() << "chip " << e << ": border inside the fill at line " << v;
        borderLines += uniform && !inside;
      }
      EXPECT_GE(firstInside, 4) << "chip " << e << ": its inside must meet the fill";
      EXPECT_LE(firstInside, 31) << "chip " << e << ": its inside must meet the fill";
      EXPECT_GE(borderLines, 3) << "chip " << e << ": a border of some width";
    }
  }
}

// Where a corner meets an edge, the border's lines carry on across the join.
TEST(Pictures, FrameCornersJoinTheirEdges) {
  for (const Set& set : {kBase, kWaku, kPen}) {
    const int* p = set.p;
    // corner, the edge beside it along x, the edge beside it along y
    struct Join { int corner, xEdge, yEdge; bool right, bottom; };
    const Join joins[4] = {{p[0], p[1], p[3], false, false}, {p[2], p[1], p[5], true, false},
                           {p[6], p[7], p[3], false, true}, {p[8], p[7], p[5], true, true}};
    for (const Join& j : joins) {
      const int cx = j.right ? 0 : 31, ex = j.right ? 31 : 0;  // columns meeting across the join
      for (int y = 0; y < 32; ++y) {
        bool uniform = true;
        for (int x = 0; x < 32; ++x) uniform &= Px(j.xEdge, x, y) == Px(j.xEdge, 0, y);
        if (uniform) {
          EXPECT_EQ(Px(j.corner, cx, y), Px(j.xEdge, ex, y)) << "corner " << j.corner << " row " << y;
        }
      }
      const int cy = j.bottom ? 0 : 31, ey = j.bottom ? 31 : 0;
      for (int x = 0; x < 32; ++x) {
        bool uniform = true;
        for (int y = 0; y < 32; ++y) uniform &= Px(j.yEdge, x, y) == Px(j.yEdge, x, 0);
        if (uniform) {
          EXPECT_EQ(Px(j.corner, x, cy), Px(j.yEdge, x, ey)) << "corner " << j.corner << " column " << x;
        }
      }
    }
  }
  // Outside the rounded corners of the screen: black, as the window around it.
  EXPECT_EQ(Px(0, 0, 0), 0u);
  EXPECT_EQ(Px(14, 31, 31), 0u);
}

TEST(Pictures, FillChipsTileWithoutVisibleJoins) {
  // The checker keeps its phase from chip to chip, the panel its squares.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      EXPECT_EQ(Px(7, x, y), Px(7, (x + 16) % 32, (y + 16) % 32)) << x << "," << y;
      EXPECT_EQ(Px(10, x, y), Px(10, (x + 16) % 32, y)) << x << "," << y;
      EXPECT_EQ(Px(10, x, y), Px(10, x, (y + 16) % 32)) << x << "," << y;
    }
  // The speckled ground has no lines: no column or row, the joins with the
  // next chip included, stands apart from both its neighbours.
  std::set<Color> colours;
  for (int k = 0; k < 32; ++k) {
    const int before = (k + 31) % 32, after = (k + 1) % 32;
    int colApart = 0, rowApart = 0;
    for (int m = 0; m < 32; ++m) {
      const Color c = Px(kGround, k, m), r = Px(kGround, m, k);
      colApart += c != Px(kGround, before, m) && c != Px(kGround, after, m);
      rowApart += r != Px(kGround, m, before) && r != Px(kGround, m, after);
      colours.insert(c);
    }
    EXPECT_LT(colApart, 12) << "a line down column " << k << " of the ground";
    EXPECT_LT(rowApart, 12) << "a line along row " << k << " of the ground";
  }
  EXPECT_GE(colours.size(), 3u) << "the ground is speckled, not flat";
}

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(Pictures, BrokenSourcesAreRefused) {
  auto sheet = plat::Embedded("chips");
  ASSERT_FALSE(sheet.empty());
  const std::string good(sheet.begin(), sheet.end());
  EXPECT_NO_THROW(plat::DecodeChipSheet(Bytes(good)));
  // A chip row one symbol short, a chip missing, an unknown symbol.
  std::string shortRow = good;
  size_t at = shortRow.find("\nchip 5");
  at = shortRow.find('\n', at + 1);
  shortRow.erase(at + 1, 1);
  EXPECT_THROW(plat::DecodeChipSheet(Bytes(shortRow)), std::runtime_error);
  std::string cut = good.substr(0, good.find("\nchip 35"));
  EXPECT_THROW(plat::DecodeChipSheet(Bytes(cut)), std::runtime_error);
  std::string unknown = good;
  unknown[unknown.find('\n', unknown.find("\nchip 12") + 1) + 5] = '@';
  EXPECT_THROW(plat::DecodeChipSheet(Bytes(unknown)), std::runtime_error);

  auto face = plat::Embedded("face0");
  ASSERT_FALSE(face.empty());
  EXPECT_THROW(plat::DecodeSvg(face, 96, 64, 0), std::runtime_error) << "wrong shape for a face";
  EXPECT_THROW(plat::DecodeSvg(Bytes("not a picture"), 96, 96, 0), std::runtime_error);
  EXPECT_THROW(plat::DecodeSvg({}, 96, 96, 0), std::runtime_error);
}

TEST(Text, TheFontHasEveryCharacterTheGamePrints) {
  pktest::Game g;
  g.f.HenSyoki();
  std::vector<std::string> texts;
  for (int s = 0; s <= 4; ++s) {
    texts.push_back(g.f.Jname(s));
    for (int k = 0; k <= 9; ++k)
      for (int l = 0; l <= 4; ++l) texts.push_back(g.f.Jmsg(s, k, l));
  }
  for (int i = 0; i < 10; ++i) texts.push_back(g.f.SigotoMei(i));
  size_t nonEmpty = 0;
  for (const auto& t : texts) nonEmpty += !t.empty();
  EXPECT_GT(nonEmpty, 100u) << "the dialogue table should be filled";

  const char* fixed[] = {
      "有限会社☆ピコラ！", "時間", "スコア", "資金", "えさ", "ﾀﾏｺﾞ", "☆ｇａｍｅ　ｏｖｅｒ☆",
      // the owner comes back
      "おっす！ただいま", "どう？がんばってる？", "    ▼", "     ▼",
      "まあ、倒産してない", "ところをみると", "がんばってくれた", "みたいだね", "残っている", "ピコラは",
      "売っちゃうおうね", "ホントに", "よくやってくれたね", "おかげで", "素敵なバカンスを", "満喫できたよ",
      "また", "よろしくたのむよ", "…さーて、", "働こっかな！", ".....2000.7.27", ".....ＬｏｏｍＺ",
      ".....おしまい ☆", "…", "え…？", "…あれ？", "おいおい…！", "すごいじゃないか！", "こりゃーまいった！",
      "こうなったら…", "また長期休暇", "とりま～す！",
      // bankruptcy
      "キャプテ～ン！", "お金なくなっちゃったよ！", "もうダメだね！", "…社長、", "資金がなくなりました",
      "倒産です…", "おいおい、", "金がないぜ…", "倒産だよ…", "だんな！", "給料なしですかい？",
      "こりゃあ、おしまいだ！",
      // numbers as printed
      " 0123456789", "-1"};
  for (const char* t : fixed) texts.push_back(t);
  for (const auto& t : texts) EXPECT_TRUE(plat::FontHasGlyphs(t)) << "missing a glyph in: " << t;
  // And the check itself can fail: a character no Japanese gothic font carries.
  EXPECT_FALSE(plat::FontHasGlyphs("\xF0\x9F\x9C\x81"));  // U+1F701, an alchemical symbol
}

}  // namespace
