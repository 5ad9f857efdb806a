// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <cstdio>
#include <exception>

#include "app/Options.h"
#include "app/Shell.h"
#include "core/Form.h"
#include "platform/sdl/SdlPlatform.h"

int main(int argc, char** argv) {
  app::Options options;
  std::string error, wrongLanguage;
  const bool parsed = app::ParseOptions(argc, argv, options, error);
  // The language is known before anything is said: the settings' entry is
  // read quietly here, the shell says what else is wrong with the file.
  app::Settings kept;
  std::string ignored;
  app::ReadKept(kept, ignored);
  const size_t language = app::ChooseLanguage(parsed ? options.lang : std::nullopt, kept.language, wrongLanguage);
  const plat::Catalogue& words = plat::CarriedLanguages()[language].words;
  if (!parsed || !wrongLanguage.empty()) {
    std::fprintf(stderr, "pikora: %s\n%s", (parsed ? wrongLanguage : error).c_str(), app::Usage(words).c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(app::Usage(words).c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("pikora %s\n", PIKORA_VERSION);
    return 0;
  }
  // Before the pictures are decoded.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }

  app::Shell shell(options, language);
  std::unique_ptr<plat::SdlPlatform> platform;
  try {
    platform = std::make_unique<plat::SdlPlatform>(shell.start, *shell.keeper);
  } catch (const plat::StartFailure& e) {
    std::fprintf(stderr, "pikora: %s\n", e.what());
    return 1;
  }
  try {
    pk::Form1 form(*platform);
    return form.Run();
  } catch (const std::exception& e) {
    // A breach of the record's ranges or a broken picture: nothing to play on with.
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    // TRANSLATORS: the message box of an error the game cannot play on after.
    platform->ShowFatal(std::string(words.Get("console", NC_("console", "Fatal error: "))) + e.what());
    return 70;
  }
}
