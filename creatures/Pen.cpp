// The creature pen on screen and the sale of grown creatures.
#include "core/Form.h"

namespace pk {
void Form1::PetHyouji() {}
void Form1::Pikora() {}
}  // namespace pk
