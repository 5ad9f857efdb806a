#include "app/Shell.h"

#include <cstdio>

#include "assets/Look.h"

namespace app {

Shell::Shell(const Options& options) : keeper(SettingsPath()) {
  std::string why;
  switch (LoadSettings(SettingsPath(), start.lasting, why)) {
    case SettingsRead::Good: break;
    case SettingsRead::Malformed: std::fprintf(stderr, "pikora: %s\n", why.c_str()); break;
    default: std::fprintf(stderr, "pikora: %s; using the default settings\n", why.c_str()); break;
  }
  start.muted = options.mute;
  start.fullscreen = options.fullscreen;
  start.seed = options.seed;
  start.caption = look::kTitle;
}

}  // namespace app
