// The game: one window, one game, then the program ends.
#include <cstdio>

#include "core/Form.h"
#include "platform/SdlPlatform.h"

int main(int, char**) {
  plat::SdlPlatform platform;
  if (!platform.Ok()) return 1;
  pk::Form1 form(platform);
  try {
    return form.Run();
  } catch (const pk::FatalError& e) {
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    platform.ShowFatal(std::string("Fatal error: ") + e.what());
    return 70;
  }
}
