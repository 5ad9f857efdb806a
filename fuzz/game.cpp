// Whole games on the blind twin, driven by the fuzzer's bytes: the first
// eight are the seed, then each pair an input (how many timer fires to let
// pass, and which key or click). Every game ends, and plays the same twice.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "replay/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8 || size > 8 + 2 * 4000) return -1;
  replay::Replay r;
  std::memcpy(&r.seed, data, 8);
  uint64_t point = 0;
  static const int kKeys[] = {plat::kKeyLeft, plat::kKeyRight, plat::kKeyUp, plat::kKeyDown, plat::kKeyEscape, 'P', 'L', 0};
  for (size_t i = 8; i + 1 < size; i += 2) {
    point += data[i] % 8;
    const uint8_t what = data[i + 1];
    replay::Input in;
    in.point = point;
    if (what < 240) {
      in.e = plat::Event{plat::Event::KeyDown, kKeys[what % 8] ? kKeys[what % 8] : what, 0, 0};
    } else if (what < 254) {
      in.e = plat::Event{plat::Event::Click, 0, (what * 57) % plat::Platform::kWinW, (what * 31) % plat::Platform::kWinH};
    } else if (what == 254) {
      in.e = plat::Event{plat::Event::Language, int(data[i] & 1), 0, 0};
    } else {
      in.e = plat::Event{plat::Event::Close, 0, 0, 0};
    }
    r.inputs.push_back(in);
  }
  size_t left = 0, leftAgain = 0;
  const replay::Ending once = replay::PlayBlind(r, &left);
  if (!(replay::PlayBlind(r, &leftAgain) == once) || left != leftAgain) std::abort();
  return 0;
}
