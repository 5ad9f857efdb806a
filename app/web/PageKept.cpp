// The web page keeps the settings in the browser's storage, as the same
// "name = value" text the desktop keeps in its file.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>

#include "app/Games.h"
#include "app/Shell.h"
#include "app/Shots.h"

namespace app {

// The page's pictures go where the desktop's would, in its own file system.
std::string PicturesFolder() { return XdgPicturesFolder(); }

namespace {

constexpr char kKey[] = "pikora.settings";

// The stored text (malloc'ed), or null when there is none or the storage is
// out of reach (blocked by the browser, a private window).
EM_JS(char*, StoredText, (const char* key), {
  try {
    const text = window.localStorage.getItem(UTF8ToString(key));
    return text === null ? 0 : stringToNewUTF8(text);
  } catch (e) {
    return 0;
  }
});

// True when stored.
EM_JS(int, Store, (const char* key, const char* text), {
  try {
    window.localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
    return 1;
  } catch (e) {
    return 0;
  }
});

class BrowserStorage : public plat::Keeper {
 public:
  void Keep(const Settings& now) override {
    if (!Store(kKey, SettingsText(now).c_str()))
      std::fprintf(stderr, "pikora: the settings are not kept: the browser's storage cannot be written\n");
  }
};

}  // namespace

SettingsRead ReadKept(Settings& out, std::string& why) {
  out = Settings{};
  char* text = StoredText(kKey);
  if (!text) return why = "no settings kept in this browser yet", SettingsRead::Missing;
  const SettingsRead read = ParseSettings(text, "the settings kept in this browser", out, why);
  std::free(text);
  return read;
}

std::unique_ptr<plat::Keeper> MakeKeeper() { return std::make_unique<BrowserStorage>(); }

// Kept games are files of the program's own memory in this folder; the page
// brings them in from the browser's storage before the game starts and
// writes them back as it goes (page.js).
std::string StateFolder() { return "/kept"; }

}  // namespace app

// What the page calls before the game's main: the kept games' folder, and
// the game to be continued, if any: its date, time and funds, one a line
// ("" when none).
extern "C" EMSCRIPTEN_KEEPALIVE const char* pikora_kept_folder() {
  static const std::string folder = app::StateFolder();
  return folder.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* pikora_stopped() {
  static std::string said;
  replay::Kept game;
  const std::string path = app::StoppedGame(app::StateFolder(), game);
  if (path.empty()) return "";
  const plat::Offer o = app::Standing(path, game);
  said = o.date + "\n" + o.time + "\n" + o.funds;
  return said.c_str();
}
