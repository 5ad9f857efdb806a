// Random play for whole games on the headless twin: keys at random moments
// (also during animations, the ending roll and the bankruptcy screen), the
// same keys for the same seed.
#pragma once
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "tests/Harness.h"

namespace pktest {

// The whole game record, a line a field, its name first (arrays first index
// fastest), for comparing two runs.
std::string DumpRecord(const pk::Form1& f);

class RandomPlayer {
 public:
  // Each seed plays its own way: some players permit almost everything and
  // run out of money, others refuse a lot and run out of time.
  explicit RandomPlayer(uint64_t seed) : s_(seed * 0x2545F4914F6CDD1Dull + 1) {
    permit_ = int(Next() % 10000);
    buy_ = int(Next() % 2500);
  }

  // Adds the next key or click to the script when none is waiting. While a
  // request waits, the answer leans on what is asked: purchases are
  // permitted less often than the rest.
  void Feed(plat::Headless& hp, const pk::Form1& f);
  std::string Script() const;

 private:
  uint64_t Next();
  struct Press {
    uint32_t at;
    int key;  // -1: a click on the play area
  };
  uint64_t s_;
  int permit_;  // chance of a Left among the answer keys, in 1/10000
  int buy_;     // the same for a purchase
  std::vector<Press> presses_;
};

}  // namespace pktest
