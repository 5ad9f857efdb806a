// The settings that last from one game to the next, in a small text file of
// "name = value" lines in the user's configuration folder.
#pragma once
#include <string>
#include <utility>

#include "platform/kit/Comfort.h"

namespace app {

// What lasts is what the player changes in the game.
using Settings = plat::Lasting;

// Where this side keeps the settings file (app/SIDE/): on the desktop
// XdgSettingsPath(), on Windows %APPDATA%\pikora\settings; "" when unknown.
std::string SettingsPath();
// $XDG_CONFIG_HOME/pikora/settings, else ~/.config/pikora/settings; "" when
// neither folder is known.
std::string XdgSettingsPath();

// The window sizes the file keeps: from the window's least size up to the
// largest screens made; the window is made no larger than the screen anyway.
constexpr int kMinWidth = 400, kMinHeight = 300, kMaxWidth = 7680, kMaxHeight = 4320;

enum class SettingsRead { Good, Missing, Unreadable, Malformed };
// The settings as text, and back: where names the text in what why says. A
// line that makes no sense is ignored and named (Malformed); every other is
// taken. The text holds every value as the reader takes it.
std::string SettingsText(const Settings& s);
SettingsRead ParseSettings(const std::string& text, const std::string& where, Settings& out, std::string& why);

// Reads the file into out. A missing or unreadable file (a folder, a pipe,
// one too large) gives the defaults; otherwise as ParseSettings.
SettingsRead LoadSettings(const std::string& path, Settings& out, std::string& why);
// Writes the whole file anew beside the old one, under a name of its own,
// and renames it over, so a crash leaves the old file or the new, never half
// of one, and two games saving at once never meet.
bool SaveSettings(const std::string& path, const Settings& s, std::string& why);
// Removes what saves cut short (a kill -9, a power cut) left beside the file,
// once surely no save in progress; done at every start and every save.
void SweepLeftovers(const std::string& path);

// The shell's keeper: the file is rewritten whenever a setting changes, and
// a file that cannot be written is said once per failure on stderr.
class SettingsFile : public plat::Keeper {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) { SweepLeftovers(path_); }
  void Keep(const Settings& now) override;

 private:
  std::string path_;
};

}  // namespace app
