// Windows keeps the settings in a file of the user's roaming application
// data (%APPDATA%\pikora\settings) and the pictures in the user's Pictures
// folder: known folders, asked of the shell, whatever their names.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "app/Games.h"
#include "app/Shell.h"
#include "app/Shots.h"
#include "platform/win32/Wide.h"

namespace app {
namespace {

std::string KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  std::string s;
  if (SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path) == S_OK) s = plat::win::Narrow(path);
  CoTaskMemFree(path);
  return s;
}

}  // namespace

std::string SettingsPath() {
  const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
  return roaming.empty() ? "" : roaming + "\\pikora\\settings";
}

std::string PicturesFolder() { return KnownFolder(FOLDERID_Pictures); }

// %LOCALAPPDATA%\pikora: kept games belong to this machine, not a roaming profile.
std::string StateFolder() {
  const std::string local = KnownFolder(FOLDERID_LocalAppData);
  return local.empty() ? "" : local + "\\pikora";
}

SettingsRead ReadKept(Settings& out, std::string& why) { return LoadSettings(SettingsPath(), out, why); }

std::unique_ptr<plat::Keeper> MakeKeeper() { return std::make_unique<SettingsFile>(SettingsPath()); }

}  // namespace app
