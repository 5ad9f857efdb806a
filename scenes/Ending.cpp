// The owner comes back: the ending roll.
#include "core/Form.h"

namespace pk {
void Form1::Ending() {
  PlayM(1);
  CloseM();
  EDpage = 0;
  Timer2.Interval(0);
  Mode = 3;
}
void Form1::EDmoji(int) {}
}  // namespace pk
