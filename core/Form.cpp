#include "core/Form.h"

#include <iostream>

namespace pk {

void Fatal(const std::string& what) { throw FatalError(what); }

Form1::Form1(plat::Platform& p) : P(p), Timer1(p), Timer2(p) {
  P.Carry(look::kPictures);
#define PK_NAME(f) f.SetName(#f)
  PK_NAME(Jnow); PK_NAME(KaimonoKazu); PK_NAME(Jikan); PK_NAME(Sikin); PK_NAME(Esa);
  PK_NAME(Score); PK_NAME(AniFlip); PK_NAME(PikoraKazu); PK_NAME(PenI); PK_NAME(PenJ);
  PK_NAME(ChipNo); PK_NAME(PosX); PK_NAME(PosY); PK_NAME(I); PK_NAME(J); PK_NAME(EDflag);
  PK_NAME(Ransu); PK_NAME(Mode); PK_NAME(EDpage); PK_NAME(Irai);
#undef PK_NAME
}

// SplitMix64: small, fast and the same sequence on every machine, so a seed
// replays a whole game.
double Form1::Rnd() {
  uint64_t z = (rng_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return double(z >> 11) * 0x1.0p-53;
}

}  // namespace pk
