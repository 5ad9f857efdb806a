// The desktop keeps the settings in a file of the user's configuration
// folder, and the pictures in the user's pictures folder, as XDG names them.
#include "app/Games.h"
#include "app/Shell.h"
#include "app/Shots.h"

namespace app {

std::string SettingsPath() { return XdgSettingsPath(); }

std::string PicturesFolder() { return XdgPicturesFolder(); }

SettingsRead ReadKept(Settings& out, std::string& why) { return LoadSettings(SettingsPath(), out, why); }

std::unique_ptr<plat::Keeper> MakeKeeper() { return std::make_unique<SettingsFile>(SettingsPath()); }

// Kept games in the XDG state folder.
std::string StateFolder() { return XdgStateFolder(); }

}  // namespace app
