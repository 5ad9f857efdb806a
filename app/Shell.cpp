#include "app/Shell.h"

#include <cstdio>
#include <cstdlib>

#include "app/Shots.h"
#include "platform/Terminal.h"
#include "screen/Look.h"

namespace app {

size_t ChooseLanguage(const std::optional<std::string>& asked, const std::string& kept, std::string& why) {
  const plat::Languages& langs = plat::CarriedLanguages();
  const int settled = kept.empty() ? -1 : langs.Find(kept);
  const size_t chosen = settled >= 0 ? size_t(settled) : langs.FromEnvironment([](const char* name) { return std::getenv(name); });
  if (!asked) return chosen;
  if (const int i = langs.Find(*asked); i >= 0) return size_t(i);
  std::string codes;
  for (size_t i = 0; i < langs.Count(); ++i) codes += (i ? " " : "") + langs[i].code;
  // TRANSLATORS: %1$s is the code asked for with --lang, %2$s the codes the game has.
  why = langs[chosen].words.Get("console", NC_("console", "there is no language '%1$s' in the game; it has %2$s"));
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"%1$s", plat::Shown(*asked)}, {"%2$s", codes}})
    if (const size_t at = why.find(mark); at != std::string::npos) why.replace(at, mark.size(), value);
  return chosen;
}

Shell::Shell(const Options& options, size_t language) : keeper(MakeKeeper()) {
  std::string why;
  switch (ReadKept(start.lasting, why)) {
    case SettingsRead::Good: break;
    case SettingsRead::Malformed: std::fprintf(stderr, "pikora: %s\n", why.c_str()); break;
    default: std::fprintf(stderr, "pikora: %s; using the default settings\n", why.c_str()); break;
  }
  start.muted = options.mute;
  start.fullscreen = options.fullscreen;
  start.seed = options.seed;
  start.caption = look::kTitle;
  start.carried = look::kPictures;
  start.pictures = PicturesFolder();
  start.language = language;
  if (!start.lasting.language.empty() && plat::CarriedLanguages().Find(start.lasting.language) < 0)
    std::fprintf(stderr, "pikora: the settings name the language '%s', which the game does not have\n",
                 plat::Shown(start.lasting.language).c_str());
}

}  // namespace app
