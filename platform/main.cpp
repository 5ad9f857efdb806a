// The game: one window, one game, then the program ends.
#include <cstdio>

#include "core/Form.h"
#include "platform/Options.h"
#include "platform/SdlPlatform.h"

int main(int argc, char** argv) {
  plat::Options options;
  std::string error;
  if (!plat::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "pikora: %s\n%s", error.c_str(), plat::Usage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(plat::Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("pikora %s\n", PIKORA_VERSION);
    return 0;
  }
  if (plat::NoDisplay()) return 1;  // before the pictures are decoded
  plat::SdlPlatform platform(options);
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
