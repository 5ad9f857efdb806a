// The creature pen on screen and the sale of grown creatures.
#include <algorithm>

#include "core/Form.h"

namespace pk {

// Draws every occupant of the pen in the current pose; empty cells keep the
// ground that is already there.
void Form1::PetHyouji() {
  for (int c = 0; c <= 8; ++c)
    for (int r = 0; r <= 13; ++r) {
      const int stage = int(PikoraSyu(c, r));
      if (stage == kEmpty) continue;
      PosX = c + 13;
      PosY = r + 2;
      PutChip(0, int(PosX), int(PosY), int(PikoraChip(stage, AniFlip + 1)));
    }
}

// Sells every grown creature, row by row from the top, showing each price on
// its cell for a moment; the seller's factor (in tenths) sets the price.
void Form1::Pikora() {
  for (int r = 0; r <= 13; ++r)
    for (int c = 0; c <= 8; ++c) {
      if (PikoraSyu(c, r) != kAdult) continue;
      Play(8);
      const double worth = double(Jnouryoku(Jnow, 5, 0)) / 10.0 * double(PikoraLv(c, r));
      const int64_t price = std::min<int64_t>(999, int64_t(worth));
      const int x = (c + 13) * 32, y = (r + 2) * 32;
      PutChip(0, c + 13, r + 2, 28);
      Display(0).Box(x + 2, y + 16, x + 30, y + 30, 0, true);
      MojiSyu(0, 9, 1, plat::Rgb(255, 255, 255));
      Locate(0, x + 2, y + 18, price);
      Sikin += price;
      // The score stops at the top of its 16-bit field instead of overflowing.
      Score = std::min<int64_t>(32767, Score + price / 10);
      PikoraSyu(c, r) = kEmpty;
      --PikoraKazu;
      Ueito(300);
      PutChip(0, c + 13, r + 2, 28);
      Sthyouji();
    }
}

}  // namespace pk
