// The game record for a new game.
#include "screen/Look.h"
#include "core/Form.h"

namespace pk {

// Fills the record: staff, dialogue, the starting pen of 23 occupants, the
// funds, feed and time.
void Form1::HenSyoki() {
  rng_ = P.Seed();
  AppPath = P.ProgramDir();
  if (AppPath.empty() || AppPath.back() != '/') AppPath += '/';
  Iro1 = look::kIro1;
  Iro2 = look::kIro2;
  SetMsg();
  Jtouroku();

  const int phase0[5] = {30, 18, 24, 20, 31};
  const int phase2[5] = {30, 19, 25, 26, 32};
  for (int s = 0; s <= 4; ++s) {
    PikoraChip(s, 0) = phase0[s];
    PikoraChip(s, 2) = phase2[s];
  }

  for (I = 0; I <= 8; ++I)
    for (J = 0; J <= 14; ++J) {
      PikoraSyu(I, J) = kEmpty;
      PikoraHp(I, J) = 100;
      PikoraLv(I, J) = 0;
    }
  // Row 0 and 1 run to column 9, outside the used area; harmless and kept.
  auto cell = [&](int c, int r, int stage, int lv) {
    PikoraSyu(c, r) = stage;
    PikoraHp(c, r) = 100;
    PikoraLv(c, r) = lv;
  };
  for (I = 0; I <= 4; ++I) cell(I, 0, kEgg, 0);
  for (I = 5; I <= 9; ++I) cell(I, 0, kYoung1, 0);
  for (I = 0; I <= 4; ++I) cell(I, 1, kYoung2, 0);
  for (I = 5; I <= 9; ++I) cell(I, 1, kYoung3, 0);
  for (I = 0; I <= 4; ++I) cell(I, 2, kAdult, 100);

  AniFlip = -1;
  Jikan = 4009;
  Score = 0;
  Sikin = 2000;
  Esa = 2000;
  PikoraKazu = 23;
  Mode = kPlaying;
  KaimonoKazu = 1;
  const int wage[7] = {3, 3, 3, 0, 3, 5, 1};
  for (int k = 0; k <= 6; ++k) Kyuryo(k) = wage[k];
}

}  // namespace pk
