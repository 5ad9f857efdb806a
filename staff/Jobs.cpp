// What a finished job brings: eggs, feed, rest or a sale.
#include "core/Form.h"

namespace pk {
void Form1::SigotoEnd() { Jsigoto(Jnow) = 6; }
}  // namespace pk
