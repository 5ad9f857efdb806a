// Bankruptcy: one employee announces it, the next key ends the program.
#include "core/Form.h"

namespace pk {
void Form1::GameOver() {
  PlayM(1);
  CloseM();
  Timer2.Interval(0);
  Mode = 2;
}
}  // namespace pk
