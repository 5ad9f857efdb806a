// The web page carries the font cut down to the glyphs of the game's texts
// (scripts/web-font.py, from the literals in the sources). Every text whole
// games print must still find its glyphs there, whichever way it was put
// together, and come out as the whole font draws it: random games to each of
// their ends in every language the program carries, the pause and the volume
// drawn over the picture, and the texts of every catalogue.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "tests/Play.h"

namespace {

// Every string printed on the surfaces it watches.
struct Collector : plat::DrawSink {
  void Copied(const plat::Surface&, int, int, int, int, const plat::Surface&, int, int) override {}
  void Boxed(const plat::Surface&, int, int, int, int, plat::Color, bool) override {}
  void Filled(const plat::Surface&, plat::Color) override {}
  void Printed(const plat::Surface& s, const std::string& utf8) override {
    texts.insert(utf8);
    styled.insert({utf8, s.attr.size, s.attr.bold});
  }
  std::set<std::string> texts;
  std::set<std::tuple<std::string, int, bool>> styled;
};

// The code points of a UTF-8 text; a broken sequence gives U+FFFD.
std::vector<char32_t> CodePoints(const std::string& s) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < s.size();) {
    const auto b = uint8_t(s[i]);
    const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) c = (c << 6) | (uint8_t(s[i + k]) & 0x3F);
    out.push_back(c);
    i += size_t(n);
  }
  return out;
}

// The quoted strings of a gettext catalogue.
std::vector<std::string> CatalogueTexts(const std::filesystem::path& po) {
  std::vector<std::string> out;
  std::ifstream in(po);
  for (std::string line; std::getline(in, line);) {
    const size_t a = line.find('"'), b = line.rfind('"');
    if (a != std::string::npos && b > a) out.push_back(line.substr(a + 1, b - a - 1));
  }
  return out;
}

class FontSubset : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TTF_Init(), 0);
    font_ = TTF_OpenFont(PIKORA_WEB_FONT, 13);
    ASSERT_NE(font_, nullptr) << PIKORA_WEB_FONT << ": " << TTF_GetError();
  }
  void TearDown() override {
    if (font_) TTF_CloseFont(font_);
    for (auto& [key, f] : opened_) TTF_CloseFont(f);
    TTF_Quit();
  }
  // The text's coverage as SDL_ttf renders it, in one of the two fonts at a
  // size and weight, as the game's drawing opens them.
  std::string Rendered(const char* path, const std::string& text, int size, bool bold) {
    TTF_Font*& f = opened_[{path, size, bold}];
    if (!f) {
      f = TTF_OpenFontDPI(path, size, 96, 96);
      if (!f) return "cannot open";
      TTF_SetFontStyle(f, bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
      TTF_SetFontHinting(f, TTF_HINTING_NORMAL);
    }
    SDL_Surface* g = TTF_RenderUTF8_Blended(f, text.c_str(), SDL_Color{255, 255, 255, 255});
    SDL_Surface* in = g ? SDL_ConvertSurfaceFormat(g, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    std::string out = in ? std::to_string(in->w) + "x" + std::to_string(in->h) + ":" : "none";
    for (int y = 0; in && y < in->h; ++y)
      for (int x = 0; x < in->w; ++x)
        out += char(reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(in->pixels) + size_t(y) * in->pitch)[x] >> 24);
    if (in) SDL_FreeSurface(in);
    if (g) SDL_FreeSurface(g);
    return out;
  }
  std::map<std::tuple<std::string, int, bool>, TTF_Font*> opened_;
  // The characters of a text the font has no glyph for.
  std::string Missing(const std::string& text) {
    std::string out;
    for (char32_t c : CodePoints(text))
      if (!TTF_GlyphIsProvided32(font_, Uint32(c))) out += "U+" + std::to_string(uint32_t(c)) + " ";
    return out;
  }
  TTF_Font* font_ = nullptr;
};

TEST_F(FontSubset, HasEveryTextTheGamePrintsAndDrawsItAsTheWholeFont) {
  Collector seen;
  int ends[4] = {};
#ifdef PIKORA_SANITIZED
  constexpr uint64_t kGames = 10;  // each many times slower
#else
  constexpr uint64_t kGames = 60;
#endif
  const plat::Languages& langs = plat::CarriedLanguages();
  for (size_t lang = 0; lang < langs.Count(); ++lang) {
    for (uint64_t seed = 1; seed <= kGames; ++seed) {
      pktest::Game g(seed);
      ASSERT_TRUE(g.hp.Speak(langs[lang].code));
      for (int i = 0; i < 3; ++i) g.hp.Display(i).sink = &seen;
      pktest::RandomPlayer player(seed);
      g.Boot();
      for (int steps = 0; steps < 2000000 && g.f.Step(); ++steps) player.Feed(g.hp, g.f);
      ++ends[int(g.f.Mode)];
    }
    // What the platform draws over the picture: the pause, each volume, muted,
    // and F12's note of a picture saved or not.
    plat::Surface shown(plat::Platform::kSurfW, plat::Platform::kSurfH);
    shown.sink = &seen;
    for (int v = -1; v <= 10; ++v)
      for (bool paused : {false, true})
        for (bool muted : {false, true})
          for (const char* shot : {"", "pikora-2026-12-08_05-59-59.png"})
            plat::DrawOverlay(plat::Surface(shown.W(), shown.H()), {paused, v, muted, lang, v == 0, shot, 0, {}}, shown);
  }
  EXPECT_GT(ends[2] + ends[3], 0) << "no game reached bankruptcy or the ending roll";
  EXPECT_GT(seen.texts.size(), 100u) << "the games printed too few texts to tell anything";
  for (const std::string& t : seen.texts) EXPECT_EQ(Missing(t), "") << "\"" << t << "\"";
  // Drawn pixel for pixel as by the whole font (a glyph moved by the cutting
  // would show).
  int differ = 0;
  for (const auto& [t, size, bold] : seen.styled)
    if (Rendered(PIKORA_WEB_FONT, t, size, bold) != Rendered(PIKORA_FULL_FONT, t, size, bold) && ++differ <= 5)
      ADD_FAILURE() << "\"" << t << "\" at " << size << (bold ? " bold" : "") << " is drawn otherwise by the cut-down font";
  EXPECT_EQ(differ, 0);

  const std::filesystem::path po = std::filesystem::path(PIKORA_SOURCE_DIR) / "po";
  if (!std::filesystem::is_directory(po)) return;
  for (const auto& entry : std::filesystem::directory_iterator(po)) {
    if (entry.path().extension() != ".po") continue;
    for (const std::string& t : CatalogueTexts(entry.path()))
      EXPECT_EQ(Missing(t), "") << entry.path().filename() << ": \"" << t << "\"";
  }
}

// The font is cut down indeed, so the check above can fail.
TEST_F(FontSubset, CarriesNoGlyphTheGameNeverPrints) {
  EXPECT_EQ(Missing("鬱龍"), "U+39729 U+40845 ");
  EXPECT_LT(std::filesystem::file_size(PIKORA_WEB_FONT), 200u * 1024) << "hardly cut down";
}

}  // namespace
