// The desktop keeps the settings in a file of the user's configuration folder.
#include "app/Shell.h"

namespace app {

SettingsRead ReadKept(Settings& out, std::string& why) { return LoadSettings(SettingsPath(), out, why); }

std::unique_ptr<plat::Keeper> MakeKeeper() { return std::make_unique<SettingsFile>(SettingsPath()); }

}  // namespace app
