// The dialogue window: five lines in the message area and a face sliding in
// or out of the face box. Faces move on the visible surface only.
#include <algorithm>

#include "core/Form.h"

namespace pk {
namespace {
constexpr int kMsgX = 170, kMsgY = 250, kMsgW = 180, kMsgH = 120;
constexpr int kBoxX = 64, kBoxY = 256, kBoxSide = 96, kBoxBottom = 352;
}  // namespace

// Clears the message area, prints the lines in the dialogue style, shows it.
// Word order differs between languages, so what `who` says is looked up
// whole and may come back broken into lines elsewhere; in Japanese, where
// the catalogue has nothing, it comes back as it was.
void Form1::WriteMessage(const char* who, const std::string (&lines)[5]) {
  std::string said;
  for (int n = 0, last = 3; n <= last; ++n) {
    while (last >= 0 && lines[last].empty()) --last;
    if (n > last) break;
    said += (n ? "\n" : "") + lines[n];
  }
  std::string shown[5];
  std::string_view rest = P.Words().Get(who, said);
  for (int n = 0; n <= 3 && !rest.empty(); ++n) {
    const std::string_view line = rest.substr(0, rest.find('\n'));
    shown[n] = std::string(line);
    rest.remove_prefix(std::min(rest.size(), line.size() + 1));
  }
  shown[4] = Tr("message", lines[4]);
  Display(1).Copy(kMsgX, kMsgY, kMsgW, kMsgH, Display(2), kMsgX, kMsgY);
  for (int n = 0; n <= 4; ++n) {
    MojiSyu(1, 11, 1, Iro2);
    Locate(1, 178, 259 + 20 * n, shown[n]);
  }
  Display(0).Copy(kMsgX, kMsgY, kMsgW, kMsgH, Display(1), kMsgX, kMsgY);
}

void Form1::WriteWords(const char* who, std::string_view words, const char* last) {
  std::string lines[5];
  for (int n = 0; n <= 3 && !words.empty(); ++n) {
    const std::string_view line = words.substr(0, words.find('\n'));
    lines[n] = std::string(line);
    words.remove_prefix(std::min(words.size(), line.size() + 1));
  }
  lines[4] = last;
  WriteMessage(who, lines);
}

std::string Form1::Tr(const char* context, const std::string& text) { return std::string(P.Words().Get(context, text)); }

// The face rises out of the bottom edge of the box in ten steps.
void Form1::FaceRise(int face, int waitMs) {
  for (int h = 6; h <= kBoxSide; h += 10) {
    Display(0).Copy(kBoxX, kBoxBottom - h, kBoxSide, h, Face(face), 0, 0);
    Ueito(waitMs);
  }
}

// The face sinks in ten steps with the background drawn again above it; then
// the box and the message area are blank on screen.
void Form1::FaceSink(int face) {
  for (int h = kBoxSide; h >= 6; h -= 10) {
    Display(0).Copy(kBoxX, kBoxBottom - h, kBoxSide, h, Face(face), 0, 0);
    Display(0).Copy(kBoxX, kBoxY, kBoxSide, kBoxSide - h, Display(2), kBoxX, kBoxY);
    Ueito(30);
  }
  Display(0).Copy(kBoxX, kBoxY, kBoxSide, kBoxSide, Display(2), kBoxX, kBoxY);
  Display(0).Copy(kMsgX, kMsgY, kMsgW, kMsgH, Display(2), kMsgX, kMsgY);
}

}  // namespace pk
