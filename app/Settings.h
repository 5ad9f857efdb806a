// The settings that last from one game to the next, in a small text file of
// "name = value" lines in the user's configuration folder.
#pragma once
#include <string>
#include <utility>

#include "platform/Comfort.h"

namespace app {

// What lasts is what the player changes in the game.
using Settings = plat::Lasting;

// $XDG_CONFIG_HOME/pikora/settings, else ~/.config/pikora/settings; "" when
// neither folder is known.
std::string SettingsPath();

enum class SettingsRead { Good, Missing, Unreadable, Malformed };
// The settings as text, and back: where names the text in what why says.
std::string SettingsText(const Settings& s);
SettingsRead ParseSettings(const std::string& text, const std::string& where, Settings& out, std::string& why);

// Reads the file into out; on any fault out keeps the defaults and why says
// what went wrong in one line.
SettingsRead LoadSettings(const std::string& path, Settings& out, std::string& why);
// Writes the whole file anew beside the old one and renames it over, so a
// crash leaves the old file or the new, never half of one.
bool SaveSettings(const std::string& path, const Settings& s, std::string& why);

// The shell's keeper: the file is rewritten whenever a setting changes, and
// a file that cannot be written is said once per failure on stderr.
class SettingsFile : public plat::Keeper {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}
  void Keep(const Settings& now) override;

 private:
  std::string path_;
};

}  // namespace app
