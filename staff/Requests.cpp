// Staff turns: which request an idle employee brings.
#include "core/Form.h"

namespace pk {
void Form1::KiokuZurasi(int) {}
void Form1::JKoudou() {}
void Form1::TamagoKau() {}
void Form1::EsaKau() {}
void Form1::Kitaeru() {}
void Form1::Yasumi() {}
void Form1::Atatame() {}
void Form1::Uru() {}
}  // namespace pk
