// The settings reader on any text: it never crashes, what it says about a
// bad line is safe to print on a terminal, and the settings it takes are
// written back as a file that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/Settings.h"
#include "platform/Terminal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  app::Settings s, again;
  std::string why;
  app::ParseSettings(text, "settings", s, why);
  for (const std::string& said : {why, plat::Shown(text)})
    for (unsigned char c : said)
      if (c < 0x20 || c == 0x7f) std::abort();
  why.clear();
  if (app::ParseSettings(app::SettingsText(s), "settings", again, why) != app::SettingsRead::Good) std::abort();
  if (app::SettingsText(again) != app::SettingsText(s)) std::abort();
  return 0;
}
