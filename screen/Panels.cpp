// The status panel, the shop window, the message area and the shake.
#include "core/Form.h"

namespace pk {
void Form1::MakeSt() {}
void Form1::Sthyouji() {}
void Form1::KaimonoWin() {}
void Form1::MsgHyouji() {}
void Form1::BuruBuru() {}
}  // namespace pk
