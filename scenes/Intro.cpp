// The logo, the title and the play screen.
#include "screen/Look.h"
#include "core/Form.h"

namespace pk {

// The opening, once: logo, title, music, then the play screen; the timer
// stops itself so it never comes again.
void Form1::Timer1_Timer() {
  Display(0).Copy(352, 256, Rogo().W(), Rogo().H(), Rogo(), 0, 0);
  Ueito(2000);
  Display(0).Box(352, 256, 416, 320, plat::Rgb(0, 0, 0), true);
  // Dark first, light one pixel lower right: the title's edge is dark on the upper left.
  MojiSyu(0, 12, 1, Iro2);
  Locate(0, 300, 280, Tr("title", look::kTitle));
  MojiSyu(0, 12, 1, Iro1);
  Locate(0, 301, 281, Tr("title", look::kTitle));
  Ueito(2000);
  OpenM(1);
  PlayM(0);
  SyokiGamen();
  Timer1.Interval(0);
}

// Draws the play screen: frames and face box on the background, the status
// labels, then everything shown at once with the panels filled in.
void Form1::SyokiGamen() {
  Dodai();
  MakePikora(12, 1, 22, 16);
  MakeWaku(1, 1, 6, 6);
  MakeWaku(7, 1, 11, 3);
  MakeWaku(7, 4, 11, 6);
  MakeWaku(1, 7, 11, 11);
  const plat::Color black = plat::Rgb(0, 0, 0);
  Display(2).Box(63, 255, 160, 352, black, false);
  Display(2).Box(62, 254, 161, 353, Iro1, false);
  Display(2).Box(61, 253, 162, 354, Iro2, false);
  Display(2).Box(60, 252, 163, 355, black, false);
  Display(2).Box(64, 256, 159, 351, Iro1, true);
  MakeWaku(1, 12, 11, 16);
  MakeSt();
  Tunagi(2, 1);
  Tunagi(1, 0);
  Sthyouji();
  KaimonoWin();
  MakeJnow();
}

}  // namespace pk
