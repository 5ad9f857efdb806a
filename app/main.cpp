// The game: one window, one game, then the program ends. Every failure ends
// up here, is said in one line and gives the exit status.
#include <chrono>
#include <cstdio>
#include <exception>

#include "app/Options.h"
#include "app/Replays.h"
#include "app/Shell.h"
#include "core/Form.h"
#include "platform/sdl/SdlPlatform.h"

int main(int argc, char** argv) {
  app::Options options;
  std::string error;
  if (!app::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "pikora: %s\n%s", error.c_str(), app::Usage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(app::Usage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("pikora %s\n", PIKORA_VERSION);
    return 0;
  }
  // Without a window: the blind twin plays it.
  if (!options.verify.empty()) return app::Verify(options.verify);
  // A damaged replay is said before any window opens.
  replay::Replay shown;
  if (!options.replay.empty() && !app::LoadReplay(options.replay, shown)) return 2;
  // Before the pictures are decoded.
  if (std::string why = plat::NoDisplay(); !why.empty()) {
    std::fprintf(stderr, "pikora: %s\n", why.c_str());
    return 1;
  }

  app::Shell shell(options);
  replay::Recorder recorder;
  if (!options.replay.empty()) shell.start.seed = shown.seed;
  if (!options.record.empty()) {
    // The seed goes into the file before the game starts.
    if (!shell.start.seed) shell.start.seed = uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    if (!recorder.Open(options.record, *shell.start.seed, error)) {
      std::fprintf(stderr, "pikora: %s\n", error.c_str());
      return 1;
    }
  }
  std::unique_ptr<plat::SdlPlatform> platform;
  try {
    platform = std::make_unique<plat::SdlPlatform>(shell.start, shell.keeper);
  } catch (const plat::StartFailure& e) {
    std::fprintf(stderr, "pikora: %s\n", e.what());
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
    platform->ShowFatal(std::string("Fatal error: ") + e.what());
    return 70;
  }
}
