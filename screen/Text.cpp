// Text attributes and printing on the drawing surfaces.
#include <string>

#include "core/Form.h"

namespace pk {

// Sets size, weight and colour of a surface's text; they stay until set again.
void Form1::MojiSyu(int PA, int PB, int PC, plat::Color PL) {
  plat::TextAttr& a = Display(PA).attr;
  a.size = PB;
  a.bold = PC == 1;
  a.color = PL;
}

// Prints a text with its top-left corner at (PX, PY).
void Form1::Locate(int PA, int PX, int PY, const std::string& PS) {
  plat::Surface& s = Display(PA);
  s.curX = PX;
  s.curY = PY;
  P.Print(s, PS);
}

// Numbers print in plain decimal, a blank standing where a minus sign would.
void Form1::Locate(int PA, int PX, int PY, int64_t PS) {
  Locate(PA, PX, PY, (PS >= 0 ? " " : "") + std::to_string(PS));
}

}  // namespace pk
