// The pen's rules from one tick to the next (training, warming, growth, feeding).
// Every pass walks column by column with PenI and PenJ, which the shake reads.
#include <algorithm>

#include "core/Form.h"

namespace pk {

// A trainer makes each adult stronger for 2 feed, while at least 2 are left.
void Form1::TrainingPass(int s) {
  for (PenI = 0; PenI <= 8; ++PenI)
    for (PenJ = 0; PenJ <= 13; ++PenJ) {
      if (PikoraSyu(PenI, PenJ) != kAdult || Esa <= 1) continue;
      // Strength stops at the top of its 16-bit field instead of overflowing.
      PikoraLv(PenI, PenJ) = std::min<int64_t>(32767, PikoraLv(PenI, PenJ) + Jnouryoku(s, 2, 0));
      Esa -= 2;
    }
}

// A warmer adds 2 plus a random share of their warming power to every egg.
void Form1::WarmingPass(int s) {
  for (PenI = 0; PenI <= 8; ++PenI)
    for (PenJ = 0; PenJ <= 13; ++PenJ) {
      if (PikoraSyu(PenI, PenJ) != kEgg) continue;
      const double u = Rnd();
      PikoraLv(PenI, PenJ) += 2 + int64_t(double(Jnouryoku(s, 4, 0)) * u);
    }
}

// Warm eggs hatch and young creatures grow up, each with a sound and a shake.
void Form1::GrowthPass() {
  for (PenI = 0; PenI <= 8; ++PenI)
    for (PenJ = 0; PenJ <= 13; ++PenJ) {
      const int stage = int(PikoraSyu(PenI, PenJ));
      if (stage == kEgg) {
        if (PikoraLv(PenI, PenJ) <= 100) continue;
        Play(9);
        BuruBuru();
        PikoraSyu(PenI, PenJ) = kYoung1;
        PikoraLv(PenI, PenJ) = 0;
        PikoraHp(PenI, PenJ) = 100;
        PutChip(0, PenI + 13, PenJ + 2, int(PikoraChip(kYoung1, 0)));
      } else if (stage >= kYoung1 && stage <= kYoung3) {
        ++PikoraLv(PenI, PenJ);
        const double u = Rnd();
        const int base = stage == kYoung3 ? 40 : 30;
        if (int64_t(u * 10) + base >= PikoraLv(PenI, PenJ)) continue;
        Play(4);
        BuruBuru();
        PikoraSyu(PenI, PenJ) = stage + 1;
        PikoraLv(PenI, PenJ) = stage == kYoung3 ? 100 : 0;
        PutChip(0, PenI + 13, PenJ + 2, int(PikoraChip(stage + 1, 0)));
      }
    }
}

// Every hatched creature eats one ration; without feed it goes hungry, and a
// young one that has nothing left in it loses a little growth.
void Form1::FeedingPass() {
  for (PenI = 0; PenI <= 8; ++PenI)
    for (PenJ = 0; PenJ <= 13; ++PenJ) {
      const int stage = int(PikoraSyu(PenI, PenJ));
      if (stage < kYoung1 || stage > kAdult) continue;
      if (Esa > 0) {
        --Esa;
        if (PikoraHp(PenI, PenJ) < 100) ++PikoraHp(PenI, PenJ);
        continue;
      }
      PikoraHp(PenI, PenJ) -= 15;
      if (stage <= kYoung3 && PikoraHp(PenI, PenJ) < 0) {
        PikoraHp(PenI, PenJ) = 0;
        if (PikoraLv(PenI, PenJ) > 1) --PikoraLv(PenI, PenJ);
      }
    }
}

}  // namespace pk
