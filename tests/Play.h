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

// A dump of the whole game record, for comparing two runs.
std::string DumpRecord(pk::Form1& f);

class RandomPlayer {
 public:
  explicit RandomPlayer(uint64_t seed) : s_(seed * 0x2545F4914F6CDD1Dull + 1) {}

  // Adds the next key or click to the script when none is waiting.
  void Feed(plat::Headless& hp);
  std::string Script() const;

 private:
  uint64_t Next();
  struct Press {
    uint32_t at;
    int key;  // -1: a click on the play area
  };
  uint64_t s_;
  std::vector<Press> presses_;
};

}  // namespace pktest
