// The program's entry on Windows. pikora.exe is a windowed program, so
// Windows gives it no console; the lines of --help, --version and --verify
// go to the console it was started from, when there is one and they are not
// sent elsewhere already. The arguments reach main() in UTF-8, whatever the
// system's code page, and the user's display language reaches it as LANG.
#include <SDL.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Wide.h"

// The game's own main (app/main.cpp), renamed for this entry to call it.
int pikora_main(int argc, char** argv);

namespace {

// A standard handle that leads nowhere: a windowed program started from a
// console, not redirected.
bool Nowhere(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  return h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN;
}

void ToParentConsole() {
  const bool out = Nowhere(STD_OUTPUT_HANDLE), err = Nowhere(STD_ERROR_HANDLE);
  if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  // The console shows UTF-8 as the game writes it.
  SetConsoleOutputCP(CP_UTF8);
  if (out) std::freopen("CONOUT$", "w", stdout);
  if (err) std::freopen("CONOUT$", "w", stderr);
}

// Windows keeps the user's language in its settings, not in LANG: unless the
// environment names one (as gettext reads it), the game speaks the first of
// the user's display languages it has.
void LanguageFromWindows() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
    if (const char* v = std::getenv(name); v && *v) return;
  ULONG count = 0, size = 0;
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) return;
  std::wstring names(size, L'\0');
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size) || count == 0) return;
  // "ja-JP\0en-US\0\0": each as gettext writes it, the list as LANGUAGE does.
  std::string list;
  for (const wchar_t* one = names.c_str(); *one; one += wcslen(one) + 1) {
    std::string code = plat::win::Narrow(one);
    for (char& c : code) c = c == '-' ? '_' : c;
    list += (list.empty() ? "" : ":") + code;
  }
  const std::string first = list.substr(0, list.find(':'));
  _putenv_s("LANG", first.c_str());
  _putenv_s("LANGUAGE", list.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ToParentConsole();
  LanguageFromWindows();
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(plat::win::Narrow(wide[i]));
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  SDL_SetMainReady();
  const int status = pikora_main(argc, argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  return status;
}
