// The shell around the game window: what the window starts with, from the
// command line and the kept settings, and who keeps them: the settings file
// on a desktop (FileKept.cpp), the browser's storage in the web page
// (PageKept.cpp).
#pragma once
#include <memory>

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

// The kept settings, as they are: why says what is wrong when they are not Good.
SettingsRead ReadKept(Settings& out, std::string& why);
// Who keeps them from now on.
std::unique_ptr<plat::Keeper> MakeKeeper();

struct Shell {
  // Reads the kept settings; a fault in them is said on stderr, and what
  // cannot be read is taken from the defaults. The game speaks the language
  // given (ChooseLanguage).
  Shell(const Options& options, size_t language = 0);
  plat::SdlStart start;
  std::unique_ptr<plat::Keeper> keeper;
};

}  // namespace app
