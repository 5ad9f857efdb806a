// The strategy lab: its statistics, its policies playing whole games that a
// replay gives back exactly, and the folder F12 saves pictures in.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "app/Games.h"
#include "app/Settings.h"
#include "app/Shots.h"
#include "lab/Lab.h"
#include "platform/kit/Comfort.h"
#include "tests/Env.h"
#include "tests/Folder.h"
#include "tests/Harness.h"
#include "tests/Run.h"

namespace {

TEST(Lab, QuantilesInterpolateBetweenNeighbours) {
  struct Case {
    std::vector<int64_t> sorted;
    double q, want;
  };
  const Case cases[] = {{{}, 0.5, 0},         {{7}, 0.9, 7},           {{1, 3}, 0.5, 2},
                        {{0, 10, 20, 30, 40}, 0.1, 4}, {{0, 10, 20, 30, 40}, 0.9, 36}, {{5, 5, 9}, 1.0, 9}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(lab::Quantile(c.sorted, c.q), c.want) << c.q;
}

// The time a policy sees is the status panel's: whole units, rounded down,
// below zero too.
TEST(Lab, TheScreensTimeIsThePanels) {
  pktest::Game g;
  for (const auto& [tenths, shown] : std::vector<std::pair<int, int64_t>>{
           {4000, 400}, {25, 2}, {20, 2}, {0, 0}, {-1, -1}, {-10, -1}, {-11, -2}, {-20, -2}}) {
    g.f.Jikan = tenths;
    EXPECT_EQ(lab::Screen(g.f).Time(), shown) << tenths;
  }
}

TEST(Lab, SummaryCountsTheEndingsAndFindsTheFirstBest) {
  auto end = [](const char* how, int64_t score, int64_t funds) { return replay::Ending{how, score, funds, 1, ""}; };
  const lab::Summary s = lab::Summarise({end("bankrupt", 0, 0), end("vacation", 12000, 500), end("vacation", 9999, 100),
                                         end("quit", 12000, 0), end("bankrupt", 10000, 0)});
  EXPECT_EQ(s.games, 5u);
  EXPECT_EQ(s.vacations, 2u);
  EXPECT_EQ(s.bankruptcies, 2u);
  EXPECT_EQ(s.others, 1u);
  EXPECT_EQ(s.max, 12000);
  EXPECT_EQ(s.best, 1u) << "the first game with the top score";
  EXPECT_EQ(s.above9999, 3u) << "10000 and over";
  EXPECT_DOUBLE_EQ(s.mean, 43999.0 / 5);
  EXPECT_DOUBLE_EQ(s.median, 10000);
  EXPECT_DOUBLE_EQ(s.meanFunds, 120);
}

// Every policy plays whole games to one of the two endings, the same game
// for the same seed on any thread, and the inputs it pressed replay it.
TEST(Lab, EveryPolicyPlaysWholeGamesThatReplayExactly) {
  std::set<uint32_t> randomWaits;
  for (const lab::PolicyInfo& p : lab::Policies()) {
    const std::vector<replay::Ending> ends = lab::PlayGames(p, 100, 12, 3);
    for (size_t i = 0; i < ends.size(); ++i) {
      EXPECT_TRUE(ends[i].how == "vacation" || ends[i].how == "bankrupt")
          << p.name << " seed " << 100 + i << ": " << ends[i].how;
      replay::Replay r;
      r.game = PIKORA_VERSION;
      r.seed = 100 + i;
      r.end = lab::PlayGame(p, r.seed, &r.inputs);
      EXPECT_EQ(r.end, ends[i]) << p.name << " seed " << r.seed << " played otherwise on another thread";
      size_t left = 1;
      EXPECT_EQ(replay::PlayBlind(r, &left), r.end) << p.name << " seed " << r.seed;
      EXPECT_EQ(left, 0u);
      // Paced for the eye: 1.5 s before each page of the roll or the bankruptcy,
      // 0.6 s before each key while a request waits, none between requests.
      ASSERT_FALSE(r.inputs.empty());
      EXPECT_EQ(r.inputs.back().e.key, ' ') << p.name << " seed " << r.seed << ": the last page";
      EXPECT_EQ(r.inputs.back().wait, 1500u) << p.name << " seed " << r.seed;
      for (const replay::Input& in : r.inputs) {
        if (p.name == "random") randomWaits.insert(in.wait);
        else EXPECT_EQ(in.wait, in.e.key == ' ' ? 1500u : 600u) << p.name << " seed " << r.seed;
      }
    }
  }
  EXPECT_EQ(randomWaits, (std::set<uint32_t>{0, 600, 1500})) << "a random player presses keys between requests too";
  EXPECT_NE(lab::FindPolicy("careful"), nullptr);
  EXPECT_EQ(lab::FindPolicy("cheat"), nullptr);
}

// --jobs is the number of threads that play: one, or none asked, plays every
// game on the caller's own thread; two share the games.
TEST(Lab, TheJobsAreTheThreadsThatPlay) {
  std::mutex m;
  std::set<std::thread::id> threads;
  lab::PolicyInfo p = *lab::FindPolicy("refuse-all");
  p.make = [&, make = p.make](uint64_t seed) {
    const std::lock_guard<std::mutex> hold(m);
    threads.insert(std::this_thread::get_id());
    return make(seed);
  };
  for (const int jobs : {1, 0, 2}) {
    threads.clear();
    lab::PlayGames(p, 1, 60, jobs);
    EXPECT_EQ(threads.size(), jobs == 2 ? 2u : 1u) << jobs;
    EXPECT_TRUE(threads.count(std::this_thread::get_id())) << jobs;
  }
}

// A sale goes through a good seller once the adults are many enough: each
// employee's price against the policy's bar, at the bar itself and either
// side of the adults it waits for; time and money plentiful.
TEST(Lab, TheCarefulPoliciesSellThroughGoodSellersOnly) {
  struct Case {
    const char* policy;
    int adults;
    bool permits[4];  // a sale asked by each employee
  };
  const Case cases[] = {
      {"careful", 40, {true, true, true, false}},  // prices 12, 12, 15, 10 in tenths against a bar of 12
      {"careful", 39, {false, false, false, false}},
      {"bold", 3, {false, false, true, false}},  // a bar of 14
      {"bold", 2, {false, false, false, false}},
  };
  for (const Case& c : cases)
    for (int who = 0; who <= 3; ++who) {
      pktest::Game g;
      g.f.HenSyoki();
      for (int col = 0; col <= 8; ++col)
        for (int row = 0; row <= 13; ++row) g.f.PikoraSyu(col, row) = col * 14 + row < c.adults ? pk::kAdult : pk::kEmpty;
      for (int k = 0; k <= 4; ++k) g.f.Jsigoto(k) = pk::kIdle;
      g.f.Mode = pk::kAsking;
      g.f.Jnow = who;
      g.f.Jsigoto(who) = pk::kSell;
      g.f.Jikan = 4000;
      g.f.Sikin = 100000;
      g.f.Esa = 100000;
      const int key = lab::FindPolicy(c.policy)->make(1)->Key(lab::Screen(g.f));
      EXPECT_EQ(key, c.permits[who] ? plat::kKeyLeft : plat::kKeyRight) << c.policy << ", " << c.adults << " adults, employee " << who;
    }
}

class LabFiles : public pktest::InFolder {
 protected:
  // The lab itself, run in dir; its status and all it said.
  std::pair<int, std::string> Lab(const std::string& args) {
    const pktest::Ran r = pktest::Run("cd '" + dir.string() + "' && " + PIKORA_BUILD_DIR + "/pikora-lab " + args);
    return {r.status, r.out};
  }
};

// The lab writes files and nothing else: a pipe (which would hold it for
// ever), a folder or a link at a name it writes is refused before it plays.
TEST_F(LabFiles, ANameThatIsNoFileIsRefusedAtOnce) {
  namespace fs = std::filesystem;
  struct Case {
    std::string name, is;
  };
  const Case cases[] = {{"refuse-all-best.replay", "a named pipe"},
                        {"refuse-all-scores.png", "a named pipe"},
                        {"refuse-all-scores.png", "a folder"},
                        {"refuse-all-best.replay", "a symbolic link"}};
  for (const Case& c : cases) {
    const fs::path at = dir / "out" / c.name;
    fs::remove_all(dir / "out");
    fs::create_directories(dir / "out");
    if (c.is == "a named pipe") {
      ASSERT_EQ(mkfifo(at.c_str(), 0600), 0);
    }
    if (c.is == "a folder") fs::create_directory(at);
    if (c.is == "a symbolic link") fs::create_symlink("/tmp/pikora-labtest-nowhere", at);
    const auto t0 = std::chrono::steady_clock::now();
    const auto [status, out] = Lab("--policy refuse-all --games 3 --jobs 1 --out out");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10)) << c.name;
    EXPECT_EQ(status, 2) << out;
    EXPECT_NE(out.find("out/" + c.name + " is " + c.is), std::string::npos) << out;
    EXPECT_FALSE(fs::exists("/tmp/pikora-labtest-nowhere"));
  }
}

// No path reaches gnuplot's script: a folder named with newlines and a
// gnuplot command gets its files, and the command never runs.
TEST_F(LabFiles, AFolderNameIsNeverACommand) {
  const std::string out = "x\n!touch PWNED\n";
  const auto [status, said] = Lab("--policy refuse-all --games 3 --jobs 1 --out '" + out + "'");
  EXPECT_EQ(status, 0) << said;
  EXPECT_FALSE(std::filesystem::exists(dir / "PWNED")) << said;
  EXPECT_TRUE(std::filesystem::exists(dir / out / "refuse-all-scores.png")) << said;
  EXPECT_TRUE(std::filesystem::exists(dir / out / "refuse-all-best.replay")) << said;
  EXPECT_EQ(said.find("x\n!touch"), std::string::npos) << "the name is echoed raw: " << said;
  for (const auto& e : std::filesystem::directory_iterator(dir / out))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// Killed while gnuplot draws, the lab ends gnuplot and leaves no temporary
// folder. A stand-in gnuplot tells the folder and waits for ever.
TEST_F(LabFiles, ASignalDuringThePlotLeavesNothingBehind) {
  const std::string mark = (dir / "mark").string();
  {
    std::ofstream fake(dir / "gnuplot");
    fake << "#!/bin/sh\nread a\nread b\necho \"$b\" > '" << mark << ".tmp'\necho $$ >> '" << mark << ".tmp'\n"
         << "mv '" << mark << ".tmp' '" << mark << "'\nexec sleep 60\n";
  }
  std::filesystem::permissions(dir / "gnuplot", std::filesystem::perms::owner_all);
  for (int sig : {SIGTERM, SIGINT}) {
    std::filesystem::remove(mark);
    const pid_t lab = fork();
    if (lab == 0) {
      setenv("PATH", (dir.string() + ":/usr/bin:/bin").c_str(), 1);
      lab::CleanUpOnSignals();
      std::string png, why;
      lab::DrawHistogram("careful", {replay::Ending{"vacation", 10, 0, 1, ""}}, png, why);
      _exit(0);
    }
    for (int i = 0; i < 500 && !std::filesystem::exists(mark); ++i) usleep(10000);
    std::ifstream in(mark);
    std::string output;
    pid_t plotter = 0;
    std::getline(in, output);
    in >> plotter;
    const size_t from = output.find("/tmp/pikora-lab-");
    ASSERT_NE(from, std::string::npos) << output;
    const std::string folder = output.substr(from, output.find('/', from + 5) - from);
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    kill(lab, sig);
    int st = 0;
    ASSERT_TRUE(pktest::Ended(lab, st, 10)) << "the lab did not end within 10 s of the signal";
    EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == sig) << "the signal still ends the lab";
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder << " left behind";
    EXPECT_NE(kill(plotter, 0), 0) << "gnuplot left running";
  }
}

// About fifty bars over an axis that always reaches the high-score ending,
// each of a round width: 1, 2 or 5 times a power of ten. A stand-in gnuplot
// keeps the script it is given.
TEST_F(LabFiles, TheHistogramsBarsAreRoundAndAboutFiftyToTheAxis) {
  const std::string kept = (dir / "script").string();
  std::ofstream(dir / "gnuplot") << "#!/bin/sh\ncat > '" << kept << "'\n";
  std::filesystem::permissions(dir / "gnuplot", std::filesystem::perms::owner_all);
  pktest::Env env;
  env.Set("PATH", (dir.string() + ":" + std::getenv("PATH")).c_str());
  const std::pair<int64_t, int64_t> cases[] = {{0, 200}, {10000, 200}, {10001, 500}, {25000, 500},
                                              {25001, 1000}, {100000, 2000}, {100001, 5000}};
  for (const auto& [top, width] : cases) {
    std::string png, why;
    lab::DrawHistogram("careful", {replay::Ending{"vacation", 3, 0, 1, ""}, replay::Ending{"vacation", top, 0, 1, ""}},
                       png, why);
    const std::string script = Text(kept);
    const int64_t axis = std::max<int64_t>(top, 10000);
    EXPECT_NE(script.find("set boxwidth " + std::to_string(width) + " absolute\n"), std::string::npos) << top << "\n" << script;
    EXPECT_NE(script.find("set xrange [-" + std::to_string(width) + ":" + std::to_string(axis + 2 * width) + "]\n"),
              std::string::npos) << top << "\n" << script;
  }
  // Games come whole: ticks of one while the tallest bar holds fewer than ten.
  const replay::Ending low{"vacation", 3, 0, 1, ""}, high{"vacation", 5000, 0, 1, ""};
  const std::pair<std::vector<replay::Ending>, bool> bars[] = {
      {std::vector(9, low), true}, {std::vector(10, low), false}, {{low, high, low, high, low, high, low, high, low, high}, true}};
  for (const auto& [ends, ones] : bars) {
    std::string png, why;
    lab::DrawHistogram("careful", ends, png, why);
    EXPECT_EQ(Text(kept).find("set ytics 1\n") != std::string::npos, ones) << ends.size() << " games";
  }
}

// What gnuplot leaves is a picture only when it ends well and the file is
// a PNG's signature and more. A stand-in gnuplot writes the bytes given.
TEST_F(LabFiles, OnlyAPictureIsTakenFromGnuplot) {
  pktest::Env env;
  env.Set("PATH", (dir.string() + ":" + std::getenv("PATH")).c_str());
  const struct {
    const char* bytes;
    int status;
    bool ok;
  } cases[] = {{"\\211PNG\\r\\n\\032\\n.", 0, true},
               {"\\211PNG\\r\\n\\032\\n", 0, false},
               {"\\211GIF\\r\\n\\032\\n.", 0, false},
               {"\\211PNG\\r\\n\\032\\n.", 1, false}};
  for (const auto& c : cases) {
    std::ofstream(dir / "gnuplot") << "#!/bin/sh\nout=$(sed -n \"s/^set output '\\(.*\\)'\\$/\\1/p\")\nprintf '" << c.bytes
                                   << "' > \"$out\"\nexit " << c.status << "\n";
    std::filesystem::permissions(dir / "gnuplot", std::filesystem::perms::owner_all);
    std::string png, why;
    EXPECT_EQ(lab::DrawHistogram("careful", {replay::Ending{"vacation", 3, 0, 1, ""}}, png, why), c.ok) << c.bytes;
    EXPECT_EQ(why, c.ok ? "" : "gnuplot could not draw the histogram") << c.bytes;
    if (c.ok) {
      EXPECT_EQ(png, std::string("\x89PNG\r\n\x1a\n.", 9));
    }
  }
}

TEST(Shots, ThePicturesFolderOfUserDirs) {
  struct Case {
    std::string text, want;
  };
  const Case cases[] = {
      {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/u/Bilder"},
      {"# XDG_PICTURES_DIR=\"$HOME/no\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", ""},
      {"  XDG_PICTURES_DIR=\"/srv/pics\"\n", "/srv/pics"},
      {"XDG_PICTURES_DIR=\"relative/pics\"\n", ""},
      {"XDG_PICTURES_DIR=\"$HOMEWARD/x\"\n", ""},
      {"XDG_PICTURES_DIR=\"$HOME/unclosed\n", ""},
      {"XDG_PICTURES_DIR=\"$HOME/a\"\nXDG_PICTURES_DIR=\"$HOME/b\"\n", "/home/u/b"},
  };
  for (const Case& c : cases) EXPECT_EQ(app::PicturesFromUserDirs(c.text, "/home/u"), c.want) << c.text;
}

// The folders for pictures, settings and kept games, each from its XDG
// variable when that names a folder from the root, else from HOME.
TEST(Shots, TheFoldersFromTheEnvironment) {
  char tmpl[] = "/tmp/pikora-shots-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  const char* const names[] = {"XDG_PICTURES_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "HOME"};
  pktest::Env env;
  std::filesystem::create_directories(dir + "/config");
  FILE* f = std::fopen((dir + "/config/user-dirs.dirs").c_str(), "w");
  std::fputs("XDG_PICTURES_DIR=\"$HOME/Fotos\"\n", f);
  std::fclose(f);
  struct Case {
    const char* env[4];  // as names: nullptr unset
    std::string pictures, settings, state;
  };
  const std::string cfg = dir + "/config";
  const Case cases[] = {
      {{"/p", cfg.c_str(), "/s", "/h"}, "/p", cfg + "/pikora/settings", "/s/pikora"},
      {{"relative", cfg.c_str(), "relative", "/h"}, "/h/Fotos", cfg + "/pikora/settings", "/h/.local/state/pikora"},
      {{nullptr, "/nowhere", "", "/h"}, "/h/Pictures", "/nowhere/pikora/settings", "/h/.local/state/pikora"},
      {{nullptr, "relative", nullptr, "/h"}, "/h/Pictures", "/h/.config/pikora/settings", "/h/.local/state/pikora"},
      {{nullptr, nullptr, "/s", "relative"}, "", "", "/s/pikora"},
      {{nullptr, nullptr, nullptr, nullptr}, "", "", ""},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 4; ++i) env.Set(names[i], c.env[i]);
    EXPECT_EQ(app::PicturesFolder(), c.pictures) << c.pictures;
    EXPECT_EQ(app::SettingsPath(), c.settings) << c.settings;
    EXPECT_EQ(app::StateFolder(), c.state) << c.state;
  }
  // The names file is read up to 64 KiB less a byte.
  env.Set("XDG_CONFIG_HOME", cfg.c_str()), env.Set("HOME", "/h"), env.Set("XDG_PICTURES_DIR", nullptr);
  for (const size_t size : {65535u, 65536u}) {
    const std::string line = "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
    std::ofstream(cfg + "/user-dirs.dirs") << std::string(size - line.size() - 1, '#') << "\n" << line;
    EXPECT_EQ(app::PicturesFolder(), size < 65536 ? "/h/Fotos" : "/h/Pictures") << size;
  }
  std::ofstream(cfg + "/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME\"\n";
  EXPECT_EQ(app::PicturesFolder(), "/h") << "the home itself";
  std::filesystem::remove_all(dir);
}

// F12 saves the picture before the note shows, and the note goes by itself.
TEST(Shots, TheNoteComesAfterThePictureAndGoes) {
  struct Host : plat::Comfort::Host {
    std::optional<std::string> Shoot() override {
      ++shots;
      return shots == 1 ? "a.png" : "";
    }
    int shots = 0;
  } host;
  plat::Comfort c(host);
  EXPECT_EQ(plat::KeyAction(plat::kKeyF12, false), plat::Action::Shot);
  EXPECT_EQ(c.BandDueIn(1000), -1);
  c.Act(plat::Action::Shot, 1000);
  EXPECT_EQ(host.shots, 1);
  EXPECT_TRUE(c.View(1000).shot);
  EXPECT_EQ(c.View(1000).shotName, "a.png");
  EXPECT_EQ(c.BandDueIn(1000), 2500) << "the note stays 2.5 s";
  const uint32_t noteGone = 3500, bandAt = noteGone - 1000;
  c.Act(plat::Action::VolumeUp, bandAt);
  EXPECT_EQ(c.BandDueIn(bandAt), 1000) << "the note goes first";
  EXPECT_FALSE(c.View(noteGone).shot);
  EXPECT_EQ(c.View(noteGone).volume, 10);
  EXPECT_EQ(c.BandDueIn(noteGone), 500) << "then the band, 1.5 s in all";
  EXPECT_FALSE(c.Paused());
  c.Act(plat::Action::Shot, 9000);
  EXPECT_TRUE(c.View(9000).shot);
  EXPECT_EQ(c.View(9000).shotName, "") << "a picture that could not be saved has its note too";
  struct Quiet : plat::Comfort::Host {
  } quiet;
  plat::Comfort none(quiet);
  none.Act(plat::Action::Shot, 0);
  EXPECT_FALSE(none.View(0).shot) << "where pictures are not saved, F12 says nothing";
}

}  // namespace
