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

#include "platform/Text.h"
#include "platform/Embedded.h"
#include "platform/Platform.h"

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

// Each picture at its size and in the game's own colour depth (the logo 16
// colours, faces and closing pictures 256), still close to its drawing.
TEST(Pictures, EveryPictureHasItsSizeDepthAndLook) {
  const auto& p = Pics();
  constexpr Color kBox = plat::Rgb(150, 120, 90);
  struct Want { const Surface& s; std::string svg; int w, h; Color under; size_t depth; };
  std::vector<Want> wants{{p.Rogo, "logo", 64, 64, 0, 16}, {p.EndP[0], "endp0", 260, 337, 0, 256}, {p.EndP[1], "endp1", 260, 337, 0, 256}};
  for (int i = 0; i < 6; ++i) wants.push_back({p.Face[i], i == 4 ? "logo" : "face" + std::to_string(i), 96, 96, kBox, 256});
  for (const Want& x : wants) {
    ASSERT_TRUE(x.s.W() == x.w && x.s.H() == x.h) << x.svg;
    EXPECT_LE(std::set<Color>(x.s.Pixels().begin(), x.s.Pixels().end()).size(), x.depth) << x.svg;
    const Surface full = plat::DecodeSvg(plat::Embedded(x.svg), x.w, x.h, x.under);
    double off = 0;  // mean difference per channel
    for (size_t i = 0; i < full.Pixels().size(); ++i)
      for (int shift : {0, 8, 16}) off += std::abs(int(full.Pixels()[i] >> shift & 255) - int(x.s.Pixels()[i] >> shift & 255));
    EXPECT_LT(off / 3 / full.Pixels().size(), x.depth == 16 ? 9 : 2.5) << x.svg << " strays from its own drawing";
  }
  EXPECT_EQ(p.Rogo.At(0, 0), 0u) << "the logo stands alone on black";
  EXPECT_EQ(p.Face[4].At(95, 95), kBox) << "the logo's see-through corners show the face box";
}

std::span<const uint8_t> AsBytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

TEST(Pictures, BrokenSourcesAreRefused) {
  auto sheet = plat::Embedded("chips");
  const std::string good(sheet.begin(), sheet.end());
  EXPECT_NO_THROW(plat::DecodeChipSheet(AsBytes(good)));
  std::string shortRow = good, unknown = good;  // a row one symbol short, an unknown symbol
  shortRow.erase(shortRow.find('\n', shortRow.find("\nchip 5") + 1) + 1, 1);
  unknown[unknown.find('\n', unknown.find("\nchip 12") + 1) + 5] = '@';
  for (const std::string& bad : {shortRow, unknown, good.substr(0, good.find("\nchip 35"))})
    EXPECT_THROW(plat::DecodeChipSheet(AsBytes(bad)), std::runtime_error);
  auto face = plat::Embedded("face0");
  ASSERT_FALSE(face.empty());
  EXPECT_THROW(plat::DecodeSvg(face, 96, 64, 0), std::runtime_error) << "wrong shape for a face";
  EXPECT_THROW(plat::DecodeSvg(AsBytes("not a picture"), 96, 96, 0), std::runtime_error);
  EXPECT_THROW(plat::DecodeSvg({}, 96, 96, 0), std::runtime_error);
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
  for (const auto& t : texts) EXPECT_TRUE(plat::FontHasGlyphs(t)) << "missing a glyph in: " << t;
  EXPECT_FALSE(plat::FontHasGlyphs("\xF0\x9F\x9C\x81")) << "U+1F701, an alchemical symbol: the check can fail";
}

}  // namespace
