// Every text of every catalogue the program carries, and every original,
// measured with the game's own font at its size against the room it has on
// the screen. A text that does not fit fails with the catalogue, the text and
// the pixels it overflows by, so a translator learns it at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "tests/Pixels.h"
#include "platform/Languages.h"
#include "platform/Platform.h"
#include "platform/kit/Text.h"

namespace {

// How far right of its print position a text inks (the rightmost inked
// column + 1); a raised text adds its one-pixel shadow.
int InkRight(const std::string& text, int size, bool bold) {
  plat::Surface s(std::max<int>(64, size * int(text.size()) * 2), size * 3, 0);
  s.attr = plat::TextAttr{size, bold, plat::Rgb(255, 255, 255)};
  s.curX = 0;
  s.curY = 0;
  plat::PrintText(s, text);
  int right = 0;
  for (int y = 0; y < s.H(); ++y)
    for (int x = s.W() - 1; x >= right; --x)
      if (s.At(x, y)) {
        right = x + 1;
        break;
      }
  return right;
}

// Display width in a terminal: East Asian wide characters take two columns.
int Columns(const std::string& line) {
  int n = 0;
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = line[i];
    const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    n += len >= 3 ? 2 : 1;
    i += len;
  }
  return n;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  for (;;) {
    const size_t nl = text.find('\n');
    out.emplace_back(text.substr(0, nl));
    if (nl == std::string_view::npos) return out;
    text.remove_prefix(nl + 1);
  }
}

// The room of each context, in pixels from the print position (positions as
// the panels print them).
struct Room {
  int size;
  bool bold, raised;
  int width;      // the ink, shadow included, ends at most this far right
  int lines = 1;  // at most this many lines
  const char* what;
};
const std::map<std::string, Room> kRooms = {
    {"Shopin", {11, true, false, 350 - 178, 4, "the message area"}},
    {"Misa", {11, true, false, 350 - 178, 4, "the message area"}},
    {"Kushuri", {11, true, false, 350 - 178, 4, "the message area"}},
    {"Pau", {11, true, false, 350 - 178, 4, "the message area"}},
    {"owner", {11, true, false, 350 - 178, 4, "the message area"}},
    {"credits", {11, true, false, 350 - 178, 4, "the message area"}},
    {"message", {11, true, false, 350 - 178, 1, "the message area's last line"}},
    {"name", {13, true, true, 145 - 70, 1, "the name column of the staff panel (before the stamina)"}},
    {"job", {13, true, true, 370 - 210, 1, "the job column of the staff panel"}},
    {"status", {13, true, true, 130 - 60, 1, "the status panel before its values"}},
    {"shop", {12, true, true, 300 - 250, 1, "the shop window before its amount"}},
    {"title", {12, true, true, plat::Platform::kSurfW - 300, 1, "the screen, from the title's place"}},
    {"pause", {32, true, false, plat::Platform::kSurfW - 32, 1, "the pause band"}},
    {"pause hint", {11, false, false, plat::Platform::kSurfW - 32, 1, "the pause band"}},
    {"language", {11, false, false, plat::Platform::kSurfW / 2, 1, "the pause band's language line"}},
    // The word, a gap of 16 and ten boxes of 20 within the band.
    {"volume", {14, true, false, plat::Platform::kSurfW - 32 - 16 - 200, 1, "the volume band"}},
    // From 8 px in, room left for a file's name of some 200 px after it.
    {"picture", {11, false, false, plat::Platform::kSurfW - 16 - 200, 1, "the note strip after F12"}},
};
constexpr int kTerminal = 79;  // columns of a console line

// What does not fit, one line per fault.
std::string Misfits(const std::string& cat, const std::string& context, const std::string& text) {
  std::ostringstream out;
  const std::string where = cat + " [" + context + "] \"" + text + "\": ";
  if (context == "console" || context == "caption") {
    for (const std::string& l : Lines(text))
      if (Columns(l) > kTerminal) out << where << "the line \"" << l << "\" is " << Columns(l) - kTerminal << " columns too wide\n";
    if (context == "caption" && (text.empty() || text.find('\n') != std::string::npos))
      out << where << "a window caption is one line\n";
    return out.str();
  }
  const auto it = kRooms.find(context);
  if (it == kRooms.end()) return where + "no room is known for this context (tests/fit_test.cpp)\n";
  const Room& r = it->second;
  const std::vector<std::string> lines = Lines(text);
  if (int(lines.size()) > r.lines)
    out << where << lines.size() << " lines where " << r.what << " has " << r.lines << "\n";
  for (const std::string& l : lines) {
    if (!pktest::FontHasGlyphs(l)) out << where << "the font has no glyph for a character of \"" << l << "\"\n";
    const int right = InkRight(l, r.size, r.bold) + (r.raised ? 1 : 0);
    if (right > r.width)
      out << where << "\"" << l << "\" overflows " << r.what << " by " << right - r.width << " px\n";
  }
  return out.str();
}

TEST(Fit, EveryTextFitsItsRoom) {
  const plat::Languages& langs = plat::CarriedLanguages();
  ASSERT_GE(langs.Count(), 2u) << "no catalogue is carried";
  std::string faults, originals;
  std::map<std::string, int> seen;  // contexts met
  for (size_t l = 1; l < langs.Count(); ++l) {
    const plat::Catalogue& c = langs[l].words;
    for (size_t i = 0; i < c.Size(); ++i) {
      const auto e = c.At(i);
      if (e.text.empty()) continue;  // the header
      ++seen[std::string(e.context)];
      faults += Misfits(langs[l].code, std::string(e.context), std::string(e.translation));
      // The originals too, once: they hold the rooms to the game as it was.
      if (l == 1) originals += Misfits("ja", std::string(e.context), std::string(e.text));
    }
    EXPECT_TRUE(c.Has("language", "日本語")) << langs[l].code << " does not give its language's name";
    // The language line of the pause band, with this language's name in it.
    const std::string line(c.Get("pause hint", "言語（Ｌキー）：%s"));
    if (const size_t at = line.find("%s"); at != std::string::npos)
      faults += Misfits(langs[l].code, "pause hint", line.substr(0, at) + langs[l].Name() + line.substr(at + 2));
  }
  EXPECT_EQ(faults, "");
  // Two of Shopin's lines have always run a few pixels past the message
  // area, whose edge cuts them; every other original fits.
  EXPECT_EQ(originals,
            "ja [Shopin] \"キャプテ～ン、\nあたし、疲れちゃったよー\n休んでていいでしょ？\": "
            "\"あたし、疲れちゃったよー\" overflows the message area by 8 px\n"
            "ja [Shopin] \"キャプテ～ン！\nお金なくなっちゃったよ！\nもうダメだね！\": "
            "\"お金なくなっちゃったよ！\" overflows the message area by 3 px\n");
  for (const char* context : {"Shopin", "owner", "message", "name", "job", "status", "shop", "title"})
    EXPECT_GT(seen[context], 0) << context;
}

// The test itself: a line too long for the message area, a label too wide
// for its column and an unknown place are each caught and said.
TEST(Fit, CatchesWhatDoesNotFit) {
  EXPECT_EQ(Misfits("en", "Shopin", "Hey hey, Captain!\nOkay if I go"), "");
  const std::string longLine = Misfits("en", "Shopin", "Hey hey, Captain! Okay if I go buy eggs?");
  EXPECT_NE(longLine.find("overflows the message area by "), std::string::npos) << longLine;
  EXPECT_NE(Misfits("en", "Misa", "1\n2\n3\n4\n5").find("5 lines where"), std::string::npos);
  EXPECT_NE(Misfits("en", "status", "Remaining time").find("overflows the status panel"), std::string::npos);
  EXPECT_NE(Misfits("en", "nowhere", "x").find("no room is known"), std::string::npos);
  EXPECT_NE(Misfits("en", "console", std::string(90, 'x')).find("11 columns too wide"), std::string::npos);
}

}  // namespace
