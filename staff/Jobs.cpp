// What a finished job brings: eggs, feed, rest or a sale.
#include <algorithm>

#include "core/Form.h"

namespace pk {

namespace {
// Cell 126 of the scan lies outside the pen, in the always empty row 14.
constexpr int kPenFull = 126;
}  // namespace

// Books the job of employee Jnow that has just ended, takes its toll on the
// employee's stamina and sets the employee idle.
void Form1::SigotoEnd() {
  const int s = int(Jnow);
  const int job = int(Jsigoto(s));
  switch (job) {
    case kBuyEggs:  // eggs, one by one into the first empty cell, while money and room last
      for (int n = 1; n <= Jnouryoku(s, 0, 0); ++n) {
        int k = 0;
        while (PikoraSyu(k % 9, k / 9) != kEmpty) ++k;
        if (k == kPenFull) break;
        const int64_t price = Jnouryoku(s, 0, 1);
        if (Sikin < price || PikoraKazu >= 126) break;
        Sikin -= price;
        PikoraSyu(k % 9, k / 9) = kEgg;
        PikoraHp(k % 9, k / 9) = 100;
        PikoraLv(k % 9, k / 9) = 0;
        ++PikoraKazu;
        Play(5);
        Sthyouji();
        PetHyouji();
        Ueito(100);
      }
      break;
    case kBuyFeed:  // feed, unit by unit; a unit that cannot be paid is left
      for (int n = 1; n <= Jnouryoku(s, 1, 0); ++n) {
        if (Sikin < Jnouryoku(s, 1, 1)) continue;
        Sikin -= Jnouryoku(s, 1, 1);
        Esa += 100;
        Play(6);
        Sthyouji();
        Ueito(60);
      }
      break;
    case kRest:
      Jtairyoku(s) = 100;
      break;
    case kSell:
      // Only the sale itself: the others' warming runs on to its own end.
      Pikora();
      break;
    default:  // training and warming acted tick by tick
      break;
  }
  if (job != kRest) {
    const int64_t toll = int64_t(Rnd() * 11) + Jhirou(s);
    Jtairyoku(s) = std::max<int64_t>(0, Jtairyoku(s) - toll);
  }
  MakeJnow();
  Jsigoto(s) = kIdle;
}

}  // namespace pk
