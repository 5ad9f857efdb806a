// The pause screen, the volume band and the note after a saved picture,
// drawn over a copy of the game's picture.
#include <string>

#include "platform/kit/Comfort.h"
#include "platform/kit/Text.h"

namespace plat {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255);

void Dim(Surface& s, int y0, int y1) {
  for (int y = y0; y < y1; ++y) {
    Color* row = s.Row(y);
    for (int x = 0; x < s.W(); ++x) row[x] = (row[x] >> 1) & 0x7F7F7F;
  }
}

// Width of the inked part of a text, from a trial print.
int InkWidth(const std::string& text, int size, bool bold) {
  Surface t(size * int(text.size()), size * 2, 0);
  t.attr = TextAttr{size, bold, kWhite};
  PrintText(t, text);
  int w = 0;
  for (int y = 0; y < t.H(); ++y)
    for (int x = t.W() - 1; x >= w; --x)
      if (t.At(x, y)) {
        w = x + 1;
        break;
      }
  return w;
}

void Print(Surface& s, const std::string& text, int size, bool bold, int x, int y) {
  s.attr = TextAttr{size, bold, kWhite};
  s.curX = x;
  s.curY = y;
  PrintText(s, text);
}

void Centred(Surface& s, const std::string& text, int size, bool bold, int y) {
  Print(s, text, size, bold, (s.W() - InkWidth(text, size, bold)) / 2, y);
}

}  // namespace

void DrawOverlay(const Surface& game, const OverlayView& v, Surface& out) {
  out = game;
  const int mid = out.H() / 2;
  const Language& lang = CarriedLanguages()[v.language < CarriedLanguages().Count() ? v.language : 0];
  const Catalogue& words = lang.words;
  if (v.paused) {
    Dim(out, 0, out.H());
    Dim(out, mid - 75, mid + 52);  // darker still under the words
    // TRANSLATORS: the pause screen: its heading, how to go on, and the
    // language line (%s is the language's own name, "English" in English).
    Centred(out, std::string(words.Get("pause", NC_("pause", "一時停止"))), 32, true, mid - 60);
    Centred(out, std::string(words.Get("pause hint", NC_("pause hint", "Ｐキーで再開（パッドはスタート）"))), 11, false,
            mid + 10);
    std::string line(words.Get("pause hint", NC_("pause hint", "言語（Ｌキー）：%s")));
    if (const size_t at = line.find("%s"); at != std::string::npos) line.replace(at, 2, lang.Name());
    Centred(out, line, 11, false, mid + 26);
  }
  if (v.volume >= 0) {
    // A band near the bottom: the word and ten boxes, as many filled as heard.
    const int top = out.H() - 110, h = 44;
    Dim(out, top, top + h);
    // TRANSLATORS: the word before the ten boxes of the volume band.
    const std::string word(v.muted ? words.Get("volume", NC_("volume", "消音")) : words.Get("volume", NC_("volume", "音量")));
    const int ww = InkWidth(word, 14, true), boxes = 10 * 20;
    const int x0 = (out.W() - ww - 16 - boxes) / 2;
    Print(out, word, 14, true, x0, top + 12);
    for (int i = 0; i < 10; ++i) {
      const int bx = x0 + ww + 16 + i * 20;
      out.Box(bx, top + 14, bx + 15, top + 29, kWhite, i < v.volume);
    }
  }
  if (v.shot) {
    // A strip along the top, the note in it.
    Dim(out, 0, 26);
    // TRANSLATORS: the note after F12 saved the picture (%s is the file's
    // name), or could not.
    std::string note(v.shotName.empty() ? words.Get("picture", NC_("picture", "画面を保存できませんでした"))
                                         : words.Get("picture", NC_("picture", "画面を保存しました：%s")));
    if (const size_t at = note.find("%s"); at != std::string::npos) note.replace(at, 2, v.shotName);
    Print(out, note, 11, false, 8, 6);
  }
  out.attr = TextAttr{};
}

}  // namespace plat
