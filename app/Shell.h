// The shell around the game window: what the window starts with, from the
// command line and the settings file, and who keeps the settings.
#pragma once
#include "app/Options.h"
#include "app/Settings.h"
#include "platform/sdl/SdlPlatform.h"

namespace app {

struct Shell {
  // Reads the settings file; a fault in it is said on stderr, and what
  // cannot be read is taken from the defaults.
  explicit Shell(const Options& options);
  plat::SdlStart start;
  SettingsFile keeper;
};

}  // namespace app
