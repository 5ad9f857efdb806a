// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>

#include "app/Games.h"
#include "app/Options.h"
#include "app/Replays.h"
#include "app/Shell.h"
#include "core/Form.h"
#include "platform/Terminal.h"
#include "platform/sdl/SdlPlatform.h"

namespace {

// The options and the language, known before anything is said: the settings'
// entry is read quietly here, the shell says what else is wrong with the
// file. A status when the program ends here (a bad option, --help, --version).
std::optional<int> ReadCommandLine(int argc, char** argv, app::Options& options, size_t& language) {
  std::string error, wrongLanguage;
  const bool parsed = app::ParseOptions(argc, argv, options, error);
  app::Settings kept;
  std::string ignored;
  app::ReadKept(kept, ignored);
  language = app::ChooseLanguage(parsed ? options.lang : std::nullopt, kept.language, wrongLanguage);
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
  return std::nullopt;
}

// The last kept game, if it stopped before its end and can go on; a damaged
// one is set aside. Status 2 when --continue finds none.
struct Stopped {
  replay::Kept game;
  std::string path;  // "" when there is none
};
std::optional<int> FindStopped(const app::Options& options, const std::string& folder, Stopped& s) {
  s.path = app::StoppedGame(folder, s.game);
  if (options.resume && s.path.empty()) {
    std::fprintf(stderr, "pikora: there is no stopped game to continue in %s\n",
                 folder.empty() ? "(no folder)" : plat::Shown(folder).c_str());
    return 2;
  }
  return std::nullopt;
}

// Every game that is neither recorded into a file of the player's nor a
// replay is kept as it goes: the stopped one where it stopped, or a new one
// from its start.
struct Keeping {
  plat::SdlPlatform& platform;
  const std::string& folder;
  const Stopped& stopped;
  std::unique_ptr<replay::KeptTape> tape;
  std::string path;

  void Begin(bool resume) {
    std::string error;
    tape = std::make_unique<replay::KeptTape>();
    if (resume) {
      path = stopped.path;
      app::SpeakAsKept(platform, stopped.game);
      if (!tape->Resume(path, stopped.game, error)) std::fprintf(stderr, "pikora: the game is not kept: %s\n", error.c_str());
    } else {
      path = app::NewGame(folder, error);
      if (path.empty() || !tape->Start(path, platform.Seed(), plat::CarriedLanguages()[platform.Language()].code, error))
        std::fprintf(stderr, "pikora: the game is not kept: %s\n", error.c_str());
    }
    platform.UseTape(tape.get());
    app::Prune(folder, path);
  }
  // C during the intro: the new game never began, its file goes, and the
  // stopped one goes on.
  void SwitchToStopped() {
    tape.reset();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::filesystem::remove(replay::PointPath(path), ec);
    platform.Again(stopped.game.game.seed);
    Begin(true);
  }
};

}  // namespace

int main(int argc, char** argv) {
  // A replay written into a pipe whose reader left: the write fails and is
  // said, the game plays on. (Windows has no such signal: the write fails.)
#ifdef SIGPIPE
  signal(SIGPIPE, SIG_IGN);
#endif
  app::Options options;
  size_t language = 0;
  if (std::optional<int> status = ReadCommandLine(argc, argv, options, language)) return *status;
  const plat::Catalogue& words = plat::CarriedLanguages()[language].words;
  // Without a window: the blind twin plays it.
  if (!options.verify.empty()) return app::Verify(options.verify);
  // A damaged replay is said before any window opens; a good one is shown in
  // the language it was recorded in.
  replay::Replay shown;
  if (!options.replay.empty()) {
    if (!app::LoadReplay(options.replay, shown)) return 2;
    if (const int i = plat::CarriedLanguages().Find(shown.language); i >= 0) language = size_t(i);
    else std::fprintf(stderr, "pikora: the replay was played in '%s', which this game does not have\n", plat::Shown(shown.language).c_str());
  }
  // Before the pictures are decoded, and before a replay's file is touched.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }
  const std::string folder = app::StateFolder();
  const bool keeping = options.record.empty() && options.replay.empty();
  Stopped stopped;
  if (keeping)
    if (std::optional<int> status = FindStopped(options, folder, stopped)) return *status;

  // The replay's file is made before the window opens (an older one it
  // writes over is emptied only once the window is open), and the seed goes
  // into it before the game starts.
  replay::Recorder recorder;
  std::optional<uint64_t> seed = options.seed;
  if (options.resume) seed = stopped.game.game.seed;
  if (!options.record.empty()) {
    std::string error;
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
  if (!options.record.empty()) {
    recorder.Begin();
    platform->UseTape(&recorder);
  }
  if (!options.replay.empty()) platform->UseTape(&player);
  Keeping kept{*platform, folder, stopped, nullptr, ""};
  if (keeping) {
    kept.Begin(options.resume);
    if (!options.resume && !stopped.path.empty()) platform->Propose(app::Standing(stopped.path, stopped.game));
  }
  auto form = std::make_unique<pk::Form1>(*platform);
  // How the game stands at its end, for the files that keep it.
  auto finish = [&](bool fatal) {
    const replay::Ending end = replay::Conclude(*form, platform->Point(), fatal);
    if (keeping) kept.tape->Finish(end);
    if (!options.record.empty()) recorder.Finish(end);
  };
  try {
    int status = form->Run();
    if (keeping && platform->ContinueAsked()) {
      form.reset();
      kept.SwitchToStopped();
      form = std::make_unique<pk::Form1>(*platform);
      status = form->Run();
    }
    finish(false);
    if (!options.replay.empty()) return app::AfterReplay(*platform, *form, player, shown);
    return status;
  } catch (const std::exception& e) {
    // A breach of the record's ranges or a broken picture: nothing to play on with.
    finish(true);
    std::fprintf(stderr, "pikora: fatal error: %s\n", e.what());
    // TRANSLATORS: the message box of an error the game cannot play on after.
    platform->ShowFatal(std::string(words.Get("console", NC_("console", "Fatal error: "))) + e.what());
    return 70;
  }
}
