// The staff panel: names, stamina and what each one is doing.
#include "core/Form.h"

namespace pk {
void Form1::MakeJnow() {}
}  // namespace pk
