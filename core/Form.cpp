#include "core/Form.h"

#include <iostream>

namespace pk {

void Fatal(const std::string& what) { throw FatalError(what); }

Form1::Form1(plat::Platform& p) : P(p), Timer1(p), Timer2(p) {
  P.Carry(look::kPictures);
  EachField([](const char* name, auto& field, FieldKind) { NameIt(field, name); });
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
