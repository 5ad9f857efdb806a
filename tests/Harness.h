// A game on the headless twin, for tests.
#pragma once
#include <functional>

#include "core/Form.h"
#include "platform/headless/Headless.h"

namespace pktest {

struct Game {
  explicit Game(uint64_t seed = 1, uint32_t startTicks = 0) : hp(seed, startTicks), f(hp) {}

  // Start-up and the intro, up to the play screen standing.
  void Boot() {
    f.Form_Load();
    while (f.Timer1.Interval() != 0 && f.Step()) {
    }
  }
  // Calls a procedure that may end the program; true if it did.
  bool Ends(const std::function<void()>& proc) {
    try {
      proc();
    } catch (const pk::ProgramEnd&) {
      return true;
    }
    return false;
  }
  int Occupants() {
    int n = 0;
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 13; ++r) n += f.PikoraSyu(c, r) != 5;
    return n;
  }
  // Clears the pen, the always-empty column 9 and row 14 included.
  void EmptyPen() {
    for (int c = 0; c <= 9; ++c)
      for (int r = 0; r <= 14; ++r) f.PikoraSyu(c, r) = 5;
    f.PikoraKazu = 0;
  }
  void Put(int c, int r, int stage, int lv = 0, int hp = 100) {
    f.PikoraSyu(c, r) = stage, f.PikoraLv(c, r) = lv, f.PikoraHp(c, r) = hp;
    ++f.PikoraKazu;
  }

  plat::Headless hp;
  pk::Form1 f;
};

}  // namespace pktest
