// Start-up and the main tick that moves the game on every 500 ms.
#include "core/Form.h"

namespace pk {

void Form1::Form_Load() {
  for (int k = 0; k <= 2; ++k) Display(k).Fill(0);
  HenSyoki();
  Timer1.Interval(1);
  Timer2.Interval(500);
}

void Form1::Timer2_Timer() {
  PetHyouji();
  AniFlip = -AniFlip;
  Jikan -= 3;

  for (I = 0; I <= 3; ++I) Sikin -= Kyuryo(Jsigoto(I));

  // Jobs: at most one ends per tick; employees after it wait for the next.
  for (int s = 0; s <= 3; ++s) {
    if (Jsigoto(s) == kIdle) continue;
    ++Jkeika(s);
    if (Jsigoto(s) == kTrain) TrainingPass(s);
    else if (Jsigoto(s) == kWarm) WarmingPass(s);
    if (Jkeika(s) > Jkikan(s)) {
      Jkeika(s) = 0;
      Jnow = s;
      Tadaima();
      SigotoEnd();
      MakeJnow();
      ByeKao();
      break;
    }
  }

  // Staff turn on every second tick, the first one included.
  if (AniFlip == 1) {
    for (int draw = 0; draw < 5; ++draw) {
      Ransu = int64_t(Rnd() * 4);
      if (Jsigoto(Ransu) == kIdle) {
        Jnow = Ransu;
        JKoudou();
        break;
      }
    }
  }

  GrowthPass();
  FeedingPass();

  Sthyouji();
  if (Sikin < 0) {
    Sikin = 0;
    Sthyouji();
    GameOver();
  }
  if (Jikan < 0) {
    Jikan = 0;
    Sthyouji();
    Ending();
  }
}

}  // namespace pk
