// The staff panel: names, stamina and what each one is doing.
#include "core/Form.h"

namespace pk {
namespace {
constexpr int kPanelX = 70, kPanelY = 400, kPanelW = 300, kPanelH = 180;
}  // namespace

// Redraws the panel of the four employees in raised text and shows it.
void Form1::MakeJnow() {
  Display(1).Copy(kPanelX, kPanelY, kPanelW, kPanelH, Display(2), kPanelX, kPanelY);
  // The same twelve texts twice: the light one, then the dark one a pixel off.
  for (int d = 0; d <= 1; ++d) {
    MojiSyu(1, 13, 1, d == 0 ? Iro1 : Iro2);
    for (int s = 0; s <= 3; ++s) {
      const int y = 410 + 30 * s + d;
      Locate(1, 70 + d, y, Tr("name", Jname(s)));
      Locate(1, 145 + d, y, int64_t(Jtairyoku(s)));
      Locate(1, 210 + d, y, Tr("job", SigotoMei(Jsigoto(s))));
    }
  }
  Display(0).Copy(kPanelX, kPanelY, kPanelW, kPanelH, Display(1), kPanelX, kPanelY);
}

}  // namespace pk
