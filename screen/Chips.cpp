// Chips on the 32-pixel grid and the frames built from them.
#include "core/Form.h"

namespace pk {
namespace {

// The nine pieces of one frame set in the tile sheet.
struct FrameSet {
  int fill, top, bottom, left, right;
  int topLeft, topRight, bottomLeft, bottomRight;
};
constexpr FrameSet kWindowSet{10, 4, 16, 9, 11, 3, 5, 15, 17};
constexpr FrameSet kPenSet{28, 22, 34, 27, 29, 21, 23, 33, 35};

// A frame on the background with corner cells (PX, PY) and (PXX, PYY): fill,
// horizontal edges, vertical edges, then the corners over them.
void Frame(Form1& f, const FrameSet& c, int PX, int PY, int PXX, int PYY) {
  const int x0 = PX + 1, x1 = PXX - 1, y0 = PY + 1, y1 = PYY - 1;
  for (int x = x0; x <= x1; ++x)
    for (int y = y0; y <= y1; ++y) f.PutChip(2, x, y, c.fill);
  for (int x = x0; x <= x1; ++x) {
    f.PutChip(2, x, PY, c.top);
    f.PutChip(2, x, PYY, c.bottom);
  }
  for (int y = y0; y <= y1; ++y) {
    f.PutChip(2, PX, y, c.left);
    f.PutChip(2, PXX, y, c.right);
  }
  f.PutChip(2, PX, PY, c.topLeft);
  f.PutChip(2, PXX, PY, c.topRight);
  f.PutChip(2, PX, PYY, c.bottomLeft);
  f.PutChip(2, PXX, PYY, c.bottomRight);
}

}  // namespace

// Puts chip PB of the tile sheet at cell (PX, PY) of surface PA. Each field is
// read before it is written, so the pen may pass PosX and PosY themselves.
void Form1::PutChip(int PA, int PX, int PY, int PB) {
  PosX = PX * 32;
  PosY = PY * 32;
  Display(PA).Copy(int(PosX), int(PosY), 32, 32, Chip(), (PB % 6) * 32, (PB / 6) * 32);
}

// Copies the whole of surface PA onto surface PB.
void Form1::Tunagi(int PA, int PB) { Display(PB).Copy(0, 0, 768, 576, Display(PA), 0, 0); }

// The base screen: a one-cell border around checkered tiles, over the whole
// background.
void Form1::Dodai() {
  for (int x = 1; x <= 22; ++x)
    for (int y = 1; y <= 16; ++y) PutChip(2, x, y, 7);
  for (int x = 0; x <= 23; ++x) {
    PutChip(2, x, 0, 1);
    PutChip(2, x, 17, 13);
  }
  for (int y = 0; y <= 17; ++y) {
    PutChip(2, 0, y, 6);
    PutChip(2, 23, y, 8);
  }
  PutChip(2, 0, 0, 0);
  PutChip(2, 23, 0, 2);
  PutChip(2, 0, 17, 12);
  PutChip(2, 23, 17, 14);
}

// A window frame with a grey-green panel inside, on the background.
void Form1::MakeWaku(int PX, int PY, int PXX, int PYY) { Frame(*this, kWindowSet, PX, PY, PXX, PYY); }

// The frame of the creature pen with its bare ground inside, on the background.
void Form1::MakePikora(int PX, int PY, int PXX, int PYY) { Frame(*this, kPenSet, PX, PY, PXX, PYY); }

}  // namespace pk
