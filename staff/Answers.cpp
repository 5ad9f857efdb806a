// The player's answer to a request, and employees coming back.
#include "core/Form.h"

namespace pk {
void Form1::Kyoka() {}
void Form1::Dame() {}
void Form1::Tadaima() {}
void Form1::ByeKao() {}
}  // namespace pk
