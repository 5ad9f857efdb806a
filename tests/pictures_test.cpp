// The pictures the program carries: sizes, colour depth and look, the decoders
// refusing broken sources, and a glyph in the font for every character the
// game prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Embedded.h"
#include "platform/Platform.h"
#include "platform/kit/Font.h"
#include "platform/kit/Pictures.h"
#include "screen/Look.h"
#include "tests/Pixels.h"

namespace pktest {
bool FontHasGlyphs(const std::string& utf8) {
  TTF_Font* f = plat::FontFor(12, false);
  if (!f) return false;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    uint32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c >> 5) == 6) { cp = c & 0x1f; n = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0f; n = 3; }
    else { cp = c & 0x07; n = 4; }
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3f);
    i += n;
    if (cp == '\n' || cp == ' ') continue;
    if (!TTF_GlyphIsProvided32(f, cp)) return false;
  }
  return true;
}
}  // namespace pktest

namespace {

using plat::Color;
using plat::Surface;

// The game's pictures as it carries them, and each one's source drawn whole.
const plat::PictureSet& Pics() {
  static auto p = plat::DecodePictures(look::kPictures);
  return *p;
}
Surface Sheet(std::span<const uint8_t> text) { return plat::DecodePicture(look::kPictures[look::kChip], text); }
Surface Drawn(std::span<const uint8_t> svg, int w, int h, Color under) {
  return plat::DecodePicture({plat::PictureSpec::Drawing, "", "", w, h, 0, under}, svg);
}

// Each picture at its size and in the game's own colour depth (the logo 16
// colours, faces and closing pictures 256), still close to its drawing.
TEST(Pictures, EveryPictureHasItsSizeDepthAndLook) {
  const auto& p = Pics();
  constexpr Color kBox = plat::Rgb(150, 120, 90);
  struct Want { const Surface& s; std::string svg; int w, h; Color under; size_t depth; };
  std::vector<Want> wants{{p[look::kRogo], "logo", 64, 64, 0, 16}, {p[look::kEndP0], "endp0", 260, 337, 0, 256}, {p[look::kEndP0 + 1], "endp1", 260, 337, 0, 256}};
  for (int i = 0; i < 6; ++i) wants.push_back({p[look::kFace0 + i], i == 4 ? "logo" : "face" + std::to_string(i), 96, 96, kBox, 256});
  for (const Want& x : wants) {
    ASSERT_TRUE(x.s.W() == x.w && x.s.H() == x.h) << x.svg;
    EXPECT_LE(std::set<Color>(x.s.Pixels().begin(), x.s.Pixels().end()).size(), x.depth) << x.svg;
    const Surface full = Drawn(plat::Embedded(x.svg), x.w, x.h, x.under);
    double off = 0;  // mean difference per channel
    for (size_t i = 0; i < full.Pixels().size(); ++i)
      for (int shift : {0, 8, 16}) off += std::abs(int(full.Pixels()[i] >> shift & 255) - int(x.s.Pixels()[i] >> shift & 255));
    EXPECT_LT(off / 3 / full.Pixels().size(), x.depth == 16 ? 9 : 2.5) << x.svg << " strays from its own drawing";
  }
  EXPECT_EQ(p[look::kRogo].At(0, 0), 0u) << "the logo stands alone on black";
  EXPECT_EQ(p[look::kFace0 + 4].At(95, 95), kBox) << "the logo's see-through corners show the face box";
}

std::span<const uint8_t> AsBytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(Pictures, BrokenSourcesAreRefused) {
  auto sheet = plat::Embedded("chips");
  const std::string good(sheet.begin(), sheet.end());
  EXPECT_NO_THROW(Sheet(AsBytes(good)));
  std::string shortRow = good, unknown = good;  // a row one symbol short, an unknown symbol
  shortRow.erase(shortRow.find('\n', shortRow.find("\nchip 5") + 1) + 1, 1);
  unknown[unknown.find('\n', unknown.find("\nchip 12") + 1) + 5] = '@';
  for (const std::string& bad : {shortRow, unknown, good.substr(0, good.find("\nchip 35"))})
    EXPECT_THROW(Sheet(AsBytes(bad)), std::runtime_error);
  auto face = plat::Embedded("face0");
  ASSERT_FALSE(face.empty());
  EXPECT_THROW(Drawn(face, 96, 64, 0), std::runtime_error) << "wrong shape for a face";
  EXPECT_THROW(Drawn(AsBytes("not a picture"), 96, 96, 0), std::runtime_error);
  EXPECT_THROW(Drawn({}, 96, 96, 0), std::runtime_error);
}

// The web page carries its pictures drawn beforehand: each comes back pixel
// for pixel as drawn at start-up, and a drawn picture of the wrong size or
// cut short is refused as a broken source is.
TEST(Pictures, PicturesDrawnBeforehandComeBackExactly) {
  const auto& p = Pics();
  for (size_t i = 0; i < p.size(); ++i) {
    const std::vector<uint8_t> bmp = plat::BmpBytes(p[i]);
    ASSERT_FALSE(bmp.empty()) << look::kPictures[i].name;
    EXPECT_LT(bmp.size(), size_t(p[i].W()) * p[i].H() + 2048) << look::kPictures[i].name << " is not kept on a palette";
    EXPECT_EQ(pktest::Hash(plat::DecodePicture(look::kPictures[i], bmp)), pktest::Hash(p[i])) << look::kPictures[i].name;
  }
  const std::vector<uint8_t> face = plat::BmpBytes(p[look::kFace0]);
  EXPECT_THROW(plat::DecodePicture(look::kPictures[look::kRogo], face), std::runtime_error) << "a face is no logo";
  EXPECT_THROW(plat::DecodePicture(look::kPictures[look::kFace0], std::span(face).first(face.size() / 2)), std::runtime_error);
  // More colours than a palette holds: kept whole all the same.
  Surface many(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) many.Set(x, y, plat::Rgb(x * 8, y * 8, (x + y) * 4));
  EXPECT_EQ(pktest::Hash(plat::DecodePicture({plat::PictureSpec::Drawing, "", "", 32, 32, 0, 0}, plat::BmpBytes(many))),
            pktest::Hash(many));
}

// Every text in the game's own code, read from its sources, has its glyphs.
TEST(Text, TheFontHasEveryCharacterTheGamePrints) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(__FILE__).parent_path().parent_path();
  std::vector<std::string> texts{" 0123456789", "-1"};
  for (const char* dir : {"core", "screen", "staff", "creatures", "sound", "scenes"})
    for (const auto& file : fs::directory_iterator(root / dir)) {
      std::ifstream in(file.path());
      const std::string src((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      // Every string literal: from a quote to the next quote not escaped.
      for (size_t at = src.find('"'); at != std::string::npos; at = src.find('"', at + 1)) {
        std::string t;
        for (++at; at < src.size() && src[at] != '"' && src[at] != '\n'; ++at) {
          if (src[at] == '\\' && src.compare(at + 1, 1, "x") == 0) {  // a byte written as an escape
            t += char(std::stoi(src.substr(at + 2, 2), nullptr, 16));
            at += 3;
          } else {
            if (src[at] == '\\') ++at;
            t += src[at];
          }
        }
        if (std::any_of(t.begin(), t.end(), [](char c) { return c & 0x80; })) texts.push_back(t);
      }
    }
  EXPECT_GT(texts.size(), 60u) << "the game's texts were not found under " << root;
  for (const auto& t : texts) EXPECT_TRUE(pktest::FontHasGlyphs(t)) << "missing a glyph in: " << t;
  EXPECT_FALSE(pktest::FontHasGlyphs("\xF0\x9F\x9C\x81")) << "U+1F701, an alchemical symbol: the check can fail";
}

}  // namespace
