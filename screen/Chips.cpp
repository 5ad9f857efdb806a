// Chips on the 32-pixel grid and the frames built from them.
#include "core/Form.h"

namespace pk {

// Puts chip PB of the tile sheet at cell (PX, PY) of surface PA. Each field is
// read before it is written, so the pen may pass PosX and PosY themselves.
void Form1::PutChip(int PA, int PX, int PY, int PB) {
  PosX = PX * 32;
  PosY = PY * 32;
  Display(PA).Copy(int(PosX), int(PosY), 32, 32, Chip(), (PB % 6) * 32, (PB / 6) * 32);
}

// Copies the whole of surface PA onto surface PB.
void Form1::Tunagi(int PA, int PB) { Display(PB).Copy(0, 0, 768, 576, Display(PA), 0, 0); }

void Form1::Dodai() {}
void Form1::MakeWaku(int, int, int, int) {}
void Form1::MakePikora(int, int, int, int) {}
}  // namespace pk
