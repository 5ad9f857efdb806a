// Chips on the 32-pixel grid and the frames built from them.
#include "core/Form.h"

namespace pk {
void Form1::PutChip(int, int, int, int) {}
void Form1::Tunagi(int, int) {}
void Form1::Dodai() {}
void Form1::MakeWaku(int, int, int, int) {}
void Form1::MakePikora(int, int, int, int) {}
}  // namespace pk
