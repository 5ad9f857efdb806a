// The shell around the game window: what the window starts with, from the
// command line and the settings file, and who keeps the settings.
#pragma once
#include "app/Options.h"
#include "app/Settings.h"
#include "platform/sdl/SdlPlatform.h"

namespace app {

// The language to play in, of plat::CarriedLanguages(): --lang, else the
// settings file's entry, else the environment as gettext reads it. A --lang
// that no catalogue answers is a fault of the command line, said in why in
// the language chosen without it; a settings entry that none answers gives
// way to the environment.
size_t ChooseLanguage(const std::optional<std::string>& asked, const std::string& kept, std::string& why);

struct Shell {
  // Reads the settings file; a fault in it is said on stderr and gives the
  // defaults. The game speaks the language given (ChooseLanguage).
  Shell(const Options& options, size_t language = 0);
  plat::SdlStart start;
  SettingsFile keeper;
};

}  // namespace app
