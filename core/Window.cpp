// The window's event loop: one thread, one handler at a time; waiting input
// goes before a due timer, and nothing is lost or reordered.
#include "core/Form.h"

#include <algorithm>

namespace pk {

void Form1::End() {
  ended_ = true;
  throw ProgramEnd{};
}

// Waits by sleeping in short slices and shows each drawn step at once; game
// events stay queued for afterwards.
void Form1::Ueito(int64_t PA) {
  const uint32_t start = P.Ticks();
  P.Present();
  for (;;) {
    const int64_t elapsed = uint32_t(P.Ticks() - start);  // wrap-safe
    if (elapsed > PA) return;
    P.Sleep(uint32_t(std::min<int64_t>(PA - elapsed + 1, 10)));
  }
}

bool Form1::Step() {
  if (ended_) return false;
  try {
    plat::Event e;
    if (P.TakeInput(e)) {
      switch (e.type) {
        case plat::Event::KeyDown:
          Display_KeyDown(e.key);
          break;
        case plat::Event::Click:
          if (e.x >= plat::Platform::kSurfX && e.x < plat::Platform::kSurfX + plat::Platform::kSurfW &&
              e.y >= plat::Platform::kSurfY && e.y < plat::Platform::kSurfY + plat::Platform::kSurfH)
            Display_Click();
          break;
        case plat::Event::Close:
          QuitSequence();
          break;
        case plat::Event::Language:
          Retell();
          break;
      }
      P.Present();
      return true;
    }
    for (Timer* t : {&Timer1, &Timer2}) {
      if (t->Interval() > 0 && t->DueIn() <= 0) {
        t->Fired();
        P.TimerFired();
        if (t == &Timer1) Timer1_Timer();
        else Timer2_Timer();
        P.Present();
        return true;
      }
    }
    int64_t wait = -1;
    for (Timer* t : {&Timer1, &Timer2})
      if (t->Interval() > 0) wait = wait < 0 ? std::max<int64_t>(t->DueIn(), 0) : std::min(wait, std::max<int64_t>(t->DueIn(), 0));
    if (!P.WaitEvent(int(wait))) {
      ended_ = true;
      return false;
    }
    return true;
  } catch (const ProgramEnd&) {
    ended_ = true;
    return false;
  }
}

int Form1::Run() {
  Form_Load();  // never ends the program: nothing is shown or heard yet
  while (Step()) {
  }
  return 0;
}

}  // namespace pk
