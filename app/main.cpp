// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "app/Games.h"
#include "app/Options.h"
#include "app/Replays.h"
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
  // Before the pictures are decoded.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }

  // The kept games: the last one stopped is continued, or offered.
  const std::string folder = app::StateFolder();
  const bool keeping = options.record.empty() && options.replay.empty();
  replay::Kept stopped;
  std::string stoppedPath;
  if (keeping) {
    stoppedPath = app::LastGame(folder);
    if (!stoppedPath.empty() && !replay::ReadKept(stoppedPath, stopped, error)) {
      app::SetAside(stoppedPath, error);
      stoppedPath.clear();
    }
    if (!stoppedPath.empty() && !stopped.Continuable()) stoppedPath.clear();
    if (options.resume && stoppedPath.empty()) {
      std::fprintf(stderr, "pikora: there is no stopped game to continue in %s\n", folder.empty() ? "(no folder)" : folder.c_str());
      return 2;
    }
  }

  app::Shell shell(options, language);
  replay::Recorder recorder;
  if (!options.replay.empty()) shell.start.seed = shown.seed;
  if (options.resume) shell.start.seed = stopped.game.seed;
  if (!options.record.empty()) {
    // The seed goes into the file before the game starts.
    if (!shell.start.seed) shell.start.seed = uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    if (!recorder.Open(options.record, *shell.start.seed, plat::CarriedLanguages()[language].code, error)) {
      std::fprintf(stderr, "pikora: %s\n", error.c_str());
      return 1;
    }
  }
  std::unique_ptr<plat::SdlPlatform> platform;
  try {
    platform = std::make_unique<plat::SdlPlatform>(shell.start, *shell.keeper);
  } catch (const plat::StartFailure& e) {
    std::fprintf(stderr, "pikora: %s\n", e.what());
    return 1;
  }
  replay::Player player(shown.inputs, /*paced=*/true);
  if (!options.record.empty()) platform->UseTape(&recorder);
  if (!options.replay.empty()) platform->UseTape(&player);
  // A kept game goes on where it stopped, or a new one is kept from its start.
  auto tape = std::make_unique<replay::KeptTape>();
  std::string keptPath;
  auto keep = [&](bool resume) {
    tape = std::make_unique<replay::KeptTape>();
    if (resume) {
      keptPath = stoppedPath;
      if (const int i = plat::CarriedLanguages().Find(stopped.game.language); i >= 0) platform->SetLanguage(size_t(i));
      if (!tape->Resume(keptPath, stopped, error)) std::fprintf(stderr, "pikora: the game is not kept: %s\n", error.c_str());
    } else {
      keptPath = app::NewGame(folder, error);
      if (keptPath.empty() || !tape->Start(keptPath, platform->Seed(), plat::CarriedLanguages()[platform->Language()].code, error))
        std::fprintf(stderr, "pikora: the game is not kept: %s\n", error.c_str());
    }
    platform->UseTape(tape.get());
    app::Prune(folder, keptPath);
  };
  if (keeping) {
    keep(options.resume);
    if (!options.resume && !stoppedPath.empty()) platform->Propose(app::Standing(stoppedPath, stopped));
  }
  auto form = std::make_unique<pk::Form1>(*platform);
  try {
    int status = form->Run();
    if (keeping && platform->ContinueAsked()) {
      // The new game never began: its file goes, and the stopped one goes on.
      tape.reset();
      std::error_code ec;
      std::filesystem::remove(keptPath, ec);
      std::filesystem::remove(replay::PointPath(keptPath), ec);
      form.reset();
      platform->Again(stopped.game.seed);
      keep(true);
      form = std::make_unique<pk::Form1>(*platform);
      status = form->Run();
    }
    if (keeping) tape->Finish(replay::Conclude(*form, platform->Point(), false));
    if (!options.record.empty()) recorder.Finish(replay::Conclude(*form, platform->Point(), false));
    if (!options.replay.empty()) return app::AfterReplay(*platform, *form, player, shown);
    return status;
  } catch (const std::exception& e) {
    // A breach of the record's ranges or a broken picture: nothing to play on with.
    if (keeping) tape->Finish(replay::Conclude(*form, platform->Point(), true));
    if (!options.record.empty()) recorder.Finish(replay::Conclude(*form, platform->Point(), true));
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    // TRANSLATORS: the message box of an error the game cannot play on after.
    platform->ShowFatal(std::string(words.Get("console", NC_("console", "Fatal error: "))) + e.what());
    return 70;
  }
}
