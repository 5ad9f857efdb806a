// The game program as a player starts it, on SDL's dummy drivers or with no
// display at all: what it says, its status and the files it leaves. What
// only a real window shows is the window test's (e2e.sh).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/Run.h"
#include "tests/Folder.h"

namespace fs = std::filesystem;

namespace {

class ShellCommand : public pktest::InFolder {
 protected:
  // The game with its folders in dir, in the C locale, env (a command: env
  // -u NAME) around it; stopped by SIGTERM (the window closed) after
  // `seconds`, killed 5 s later if it hangs on.
  pktest::Ran Game(const std::string& args, const std::string& env = "", const char* seconds = "20") {
    const std::string d = "'" + dir.string() + "'";
    return pktest::Run("env -u LANGUAGE -u LC_MESSAGES -u LANG LC_ALL=C SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
                       "HOME=" + d + " XDG_CONFIG_HOME=" + d + " XDG_STATE_HOME=" + d + " " + env +
                       " timeout --preserve-status -s TERM -k 5 " + seconds + " " + PIKORA_BUILD_DIR + "/pikora " + args);
  }
};

// The paths that end before any window: help, version, a bad command line,
// nothing to continue, no display, a window that cannot open; said in one
// line first, then the usage where the command line was wrong.
TEST_F(ShellCommand, SaysWhyItEndsBeforeAnyWindow) {
  const std::string state = dir.string() + "/pikora";
  struct Case {
    std::string args, env;
    int status;
    std::string begins, has;
  };
  const Case cases[] = {
      {"--help", "", 0, "Usage: pikora [OPTION]...\n有限会社☆ピコラ！: run a little creature-breeding company",
       "\n  --lang CODE    play in the language CODE: ja en\n"},
      {"--version", "", 0, "pikora " PIKORA_VERSION "\n", ""},
      {"--seed", "", 2, "pikora: --seed needs a number\nUsage: pikora [OPTION]...\n", ""},
      {"--mute --lang xx", "", 2, "pikora: there is no language 'xx' in the game; it has ja en\nUsage: pikora", ""},
      {"--force", "", 2, "pikora: --force goes only with --record\nUsage:", ""},
      {"--continue", "", 2, "pikora: there is no stopped game to continue in " + state + "\n", ""},
      {"--continue", "env -u HOME -u XDG_STATE_HOME", 2, "pikora: there is no stopped game to continue in (no folder)\n", ""},
      {"--record '" + dir.string() + "/new.replay'", "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY", 1,
       "pikora: there is no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)", ""},
      {"--replay '" PIKORA_SOURCE_DIR "/tests/traces/bold-3.replay'", "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY",
       1, "pikora: there is no display", ""},  // played in ja, which the game has: nothing said of it
      {"--record '" + dir.string() + "/new.replay'", "env SDL_VIDEODRIVER=no-such-driver", 1, "pikora: no settings yet",
       "\npikora: cannot start the video system: no-such-driver not available\n"},
      {"--record '" + dir.string() + "/old.replay' --force", "env SDL_VIDEODRIVER=no-such-driver", 1, "pikora: no settings yet",
       "\npikora: cannot start the video system: no-such-driver not available\n"},
  };
  const std::string old = "an older replay, to be written over only by a game that begins\n";
  std::ofstream(dir / "old.replay", std::ios::binary) << old;
  for (const Case& c : cases) {
    const pktest::Ran run = Game(c.args, c.env);
    EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out;
    EXPECT_EQ(run.out.rfind(c.begins, 0), 0u) << c.args << "\n" << run.out;
    EXPECT_NE(run.out.find(c.has), std::string::npos) << c.args << "\n" << run.out;
  }
  EXPECT_FALSE(fs::exists(dir / "new.replay")) << "a replay without a game is left behind";
  EXPECT_EQ(Text(dir / "old.replay"), old) << "a game that never began wrote over an older replay";
  // Settings in a language the game has: nothing to say of them.
  fs::create_directories(dir / "pikora");
  std::ofstream(dir / "pikora" / "settings") << "language = ja\n";
  const pktest::Ran ja = Game("--mute", "env SDL_VIDEODRIVER=no-such-driver");
  EXPECT_EQ(ja.out.rfind("pikora: cannot start the video system", 0), 0u) << ja.out;
}

// A stopped game kept by an earlier start goes on with its own seed: it
// takes every kept input where it was taken, is recorded on into the same
// file and leaves no point file behind; closed wherever it stands then,
// the whole game verifies as one.
TEST_F(ShellCommand, ContinuesTheStoppedGameIntoItsFile) {
  fs::create_directories(dir / "pikora");
  const fs::path kept = dir / "pikora" / "game-2026-01-02_03-04-05.replay";
  std::string head;  // killed at point 144, its point file lost
  {
    std::ifstream in(PIKORA_SOURCE_DIR "/tests/traces/bold-3.replay");
    std::string line;
    for (int n = 0; n < 34 && std::getline(in, line); ++n) head += line + "\n";  // to "144 +600 key 37"
  }
  std::ofstream(kept, std::ios::binary) << head;
  const pktest::Ran r = Game("--continue --mute", "", "2");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find("another way"), std::string::npos) << r.out;
  const std::string after = Text(kept);
  EXPECT_EQ(after.rfind(head, 0), 0u) << after;
  EXPECT_NE(after.find("\nend quit score "), std::string::npos) << after;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "pikora"), fs::directory_iterator{}), 1)
      << "a point file is left behind";
  const pktest::Ran verified = pktest::Run(std::string(PIKORA_BUILD_DIR) + "/pikora --verify '" + kept.string() + "'");
  EXPECT_EQ(verified.status, 0) << verified.out << after;
}

// A picture the game cannot draw leaves nothing to play on with: the game
// says which and why, ends with its own status, and the replay it records
// or the game it keeps ends with the fatal ending.
TEST_F(ShellCommand, APictureItCannotDrawEndsTheGameSayingWhy) {
  const fs::path recorded = dir / "broken.replay", kept = dir / "pikora";
  for (const std::string& args : {"--mute --record '" + recorded.string() + "'", std::string("--mute")}) {
    const pktest::Ran r = Game(args, "env LD_PRELOAD=" PIKORA_BUILD_DIR "/tests/libpikora_broken_svg.so");
    EXPECT_EQ(r.status, 70) << args << "\n" << r.out;
    EXPECT_NE(r.out.find("pikora: fatal error: the picture \""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\" is broken: cannot render: the test broke every picture\n"), std::string::npos) << r.out;
  }
  EXPECT_NE(Text(recorded).find("\nend fatal score 0 funds "), std::string::npos) << Text(recorded);
  ASSERT_TRUE(fs::is_directory(kept));
  size_t games = 0;
  for (const auto& e : fs::directory_iterator(kept))
    if (e.path().extension() == ".replay") {
      ++games;
      EXPECT_NE(Text(e.path()).find("\nend fatal score 0 funds "), std::string::npos) << Text(e.path());
    }
  EXPECT_EQ(games, 1u);
}

}  // namespace
