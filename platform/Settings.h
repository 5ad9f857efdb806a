// The settings that last from one game to the next, in a small text file of
// "name = value" lines in the user's configuration folder.
#pragma once
#include <string>

namespace plat {

struct Settings {
  bool fullscreen = false;
  int width = 800, height = 600;  // the window's size when not fullscreen
  int volume = 10;                // tenths of the full volume
  bool mute = false;
  bool operator==(const Settings&) const = default;
};

// $XDG_CONFIG_HOME/pikora/settings, else ~/.config/pikora/settings; "" when
// neither folder is known.
std::string SettingsPath();

enum class SettingsRead { Good, Missing, Unreadable, Malformed };
// Reads the file into out; on any fault out keeps the defaults and why says
// what went wrong in one line.
SettingsRead LoadSettings(const std::string& path, Settings& out, std::string& why);
// Writes the whole file anew beside the old one and renames it over, so a
// crash leaves the old file or the new, never half of one.
bool SaveSettings(const std::string& path, const Settings& s, std::string& why);

}  // namespace plat
