// The dialogue window: five lines in the message area and a face sliding in
// or out of the face box. Faces move on the visible surface only.
#include "core/Form.h"

namespace pk {
namespace {
constexpr int kMsgX = 170, kMsgY = 250, kMsgW = 180, kMsgH = 120;
constexpr int kBoxX = 64, kBoxY = 256, kBoxSide = 96, kBoxBottom = 352;
}  // namespace

// Clears the message area, prints the lines in the dialogue style, shows it.
void Form1::WriteMessage(const std::string (&lines)[5]) {
  Display(1).Copy(kMsgX, kMsgY, kMsgW, kMsgH, Display(2), kMsgX, kMsgY);
  for (int n = 0; n <= 4; ++n) {
    MojiSyu(1, 11, 1, Iro2);
    Locate(1, 178, 259 + 20 * n, lines[n]);
  }
  Display(0).Copy(kMsgX, kMsgY, kMsgW, kMsgH, Display(1), kMsgX, kMsgY);
}

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
