#include "app/Shell.h"

#include <cstdio>

#include "app/Shots.h"
#include "assets/Look.h"

namespace app {

Shell::Shell(const Options& options) : keeper(SettingsPath()) {
  std::string why;
  if (LoadSettings(SettingsPath(), start.lasting, why) != SettingsRead::Good)
    std::fprintf(stderr, "pikora: %s; using the default settings\n", why.c_str());
  start.muted = options.mute;
  start.fullscreen = options.fullscreen;
  start.seed = options.seed;
  start.caption = look::kTitle;
  start.pictures = PicturesFolder();
}

}  // namespace app
