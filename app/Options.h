// The command line of the game.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Catalogue.h"

namespace app {

struct Options {
  bool help = false;
  bool version = false;
  bool mute = false;
  bool force = false;              // --record may write over what is at its name
  std::optional<bool> fullscreen;  // unset: as the settings file says
  std::optional<uint64_t> seed;    // unset: a seed from the clock
  // At most one of these: record the game into the file, play a recorded
  // game in the window, or check one without a window.
  std::string record, replay, verify;
  std::optional<std::string> lang; // a language's code or a locale name; unset: settings, environment
};

// Reads the arguments after the program name; false, with the reason in
// error, for an unknown option, a missing or bad value or a stray word.
bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error);

// The text of --help in the words given: every option and the keys.
std::string Usage(const plat::Catalogue& words);

}  // namespace app
