// The status panel, the shop window, the message area and the shake.
#include "core/Form.h"

namespace pk {
void Form1::MakeSt() {}
void Form1::Sthyouji() {}
void Form1::KaimonoWin() {}
void Form1::MsgHyouji() {}
void Form1::BuruBuru() {}
void Form1::WriteMessage(const std::string (&)[5]) {}
void Form1::FaceRise(int, int) {}
void Form1::FaceSink(int) {}
}  // namespace pk
