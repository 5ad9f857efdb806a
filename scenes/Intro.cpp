// The logo, the title and the play screen.
#include "core/Form.h"

namespace pk {
void Form1::Timer1_Timer() {
  SyokiGamen();
  Timer1.Interval(0);
}
void Form1::SyokiGamen() {}
}  // namespace pk
