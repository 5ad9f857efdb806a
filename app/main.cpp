// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <cstdio>
#include <exception>

#include "app/Options.h"
#include "app/Shell.h"
#include "core/Form.h"
#include "platform/sdl/SdlPlatform.h"

int main(int argc, char** argv) {
  app::Options options;
  std::string error;
  if (!app::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "pikora: %s\n%s", error.c_str(), app::Usage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(app::Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("pikora %s\n", PIKORA_VERSION);
    return 0;
  }
  // Before the pictures are decoded.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }

  app::Shell shell(options);
  std::unique_ptr<plat::SdlPlatform> platform;
  try {
    platform = std::make_unique<plat::SdlPlatform>(shell.start, shell.keeper);
  } catch (const plat::StartFailure& e) {
    std::fprintf(stderr, "pikora: %s\n", e.what());
    return 1;
  }
  try {
    pk::Form1 form(*platform);
    return form.Run();
  } catch (const std::exception& e) {
    // A breach of the record's ranges or a broken picture: nothing to play on with.
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    platform->ShowFatal(std::string("Fatal error: ") + e.what());
    return 70;
  }
}
