// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <exception>

#include "app/Options.h"
#include "app/Replays.h"
#include "app/Shell.h"
#include "core/Form.h"
#include "platform/Terminal.h"
#include "platform/sdl/SdlPlatform.h"

int main(int argc, char** argv) {
  // A replay written into a pipe whose reader left: the write fails and is
  // said, the game plays on. (Windows has no such signal: the write fails.)
#ifdef SIGPIPE
  signal(SIGPIPE, SIG_IGN);
#endif
  app::Options options;
  std::string error, wrongLanguage;
  const bool parsed = app::ParseOptions(argc, argv, options, error);
  // The language is known before anything is said: the settings' entry is
  // read quietly here, the shell says what else is wrong with the file.
  app::Settings kept;
  std::string ignored;
  app::ReadKept(kept, ignored);
  size_t language = app::ChooseLanguage(parsed ? options.lang : std::nullopt, kept.language, wrongLanguage);
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
  // Without a window: the blind twin plays it.
  if (!options.verify.empty()) return app::Verify(options.verify);
  // A damaged replay is said before any window opens; a good one is shown in
  // the language it was recorded in.
  replay::Replay shown;
  if (!options.replay.empty()) {
    if (!app::LoadReplay(options.replay, shown)) return 2;
    if (const int i = plat::CarriedLanguages().Find(shown.language); i >= 0) language = size_t(i);
    else std::fprintf(stderr, "pikora: the replay was played in '%s', which this game does not have\n", shown.language.c_str());
  }
  // Before the pictures are decoded, and before a replay's file is touched.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }
  // The replay's file is made before the window opens, and the seed goes
  // into it before the game starts.
  replay::Recorder recorder;
  std::optional<uint64_t> seed = options.seed;
  if (!options.record.empty()) {
    if (!seed) seed = uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    if (!recorder.Open(options.record, *seed, plat::CarriedLanguages()[language].code, options.force, error)) {
      std::fprintf(stderr, "pikora: %s: %s\n", plat::Shown(options.record).c_str(), error.c_str());
      return 2;
    }
  }

  app::Shell shell(options, language);
  if (!options.replay.empty()) shell.start.seed = shown.seed;
  if (seed) shell.start.seed = seed;
  std::unique_ptr<plat::SdlPlatform> platform;
  try {
    platform = std::make_unique<plat::SdlPlatform>(shell.start, *shell.keeper);
  } catch (const plat::StartFailure& e) {
    std::fprintf(stderr, "pikora: %s\n", e.what());
    recorder.Discard();
    return 1;
  }
  replay::Player player(shown.inputs, /*paced=*/true);
  if (!options.record.empty()) platform->UseTape(&recorder);
  if (!options.replay.empty()) platform->UseTape(&player);
  pk::Form1 form(*platform);
  try {
    const int status = form.Run();
    if (!options.record.empty()) recorder.Finish(replay::Conclude(form, platform->Point(), false));
    if (!options.replay.empty()) return app::AfterReplay(*platform, form, player, shown);
    return status;
  } catch (const std::exception& e) {
    // A breach of the record's ranges or a broken picture: nothing to play on with.
    if (!options.record.empty()) recorder.Finish(replay::Conclude(form, platform->Point(), true));
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    // TRANSLATORS: the message box of an error the game cannot play on after.
    platform->ShowFatal(std::string(words.Get("console", NC_("console", "Fatal error: "))) + e.what());
    return 70;
  }
}
