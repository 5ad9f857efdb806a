// The strategy lab: its statistics, its policies playing whole games that a
// replay gives back exactly, and the folder F12 saves pictures in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/Shots.h"
#include "lab/Lab.h"
#include "platform/kit/Comfort.h"

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

TEST(Lab, SummaryCountsTheEndingsAndFindsTheFirstBest) {
  auto end = [](const char* how, int64_t score, int64_t funds) { return replay::Ending{how, score, funds, 1, ""}; };
  const lab::Summary s = lab::Summarise({end("bankrupt", 0, 0), end("vacation", 12000, 500), end("vacation", 300, 100),
                                         end("quit", 12000, 0), end("bankrupt", 40, 0)});
  EXPECT_EQ(s.games, 5u);
  EXPECT_EQ(s.vacations, 2u);
  EXPECT_EQ(s.bankruptcies, 2u);
  EXPECT_EQ(s.others, 1u);
  EXPECT_EQ(s.max, 12000);
  EXPECT_EQ(s.best, 1u) << "the first game with the top score";
  EXPECT_EQ(s.above9999, 2u);
  EXPECT_DOUBLE_EQ(s.mean, 24340.0 / 5);
  EXPECT_DOUBLE_EQ(s.median, 300);
  EXPECT_DOUBLE_EQ(s.meanFunds, 120);
}

// Every policy plays whole games to one of the two endings, the same game
// for the same seed on any thread, and the inputs it pressed replay it.
TEST(Lab, EveryPolicyPlaysWholeGamesThatReplayExactly) {
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
    }
  }
  EXPECT_NE(lab::FindPolicy("careful"), nullptr);
  EXPECT_EQ(lab::FindPolicy("cheat"), nullptr);
}

TEST(Lab, TheCarefulPolicyBeatsPermittingAll) {
  const lab::Summary careful = lab::Summarise(lab::PlayGames(*lab::FindPolicy("careful"), 1, 200, 2));
  const lab::Summary all = lab::Summarise(lab::PlayGames(*lab::FindPolicy("permit-all"), 1, 200, 2));
  EXPECT_GT(careful.mean, 3 * all.mean);
  EXPECT_GT(careful.vacations, careful.games / 2);
  EXPECT_EQ(all.vacations, 0u) << "permitting everything runs out of money";
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

TEST(Shots, ThePicturesFolderFromTheEnvironment) {
  char tmpl[] = "/tmp/pikora-shots-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  // The environment as it was, given back at the end.
  std::vector<std::pair<const char*, std::optional<std::string>>> was;
  for (const char* n : {"XDG_PICTURES_DIR", "XDG_CONFIG_HOME", "HOME"})
    was.emplace_back(n, std::getenv(n) ? std::optional<std::string>(std::getenv(n)) : std::nullopt);
  std::filesystem::create_directories(dir + "/config");
  FILE* f = std::fopen((dir + "/config/user-dirs.dirs").c_str(), "w");
  std::fputs("XDG_PICTURES_DIR=\"$HOME/Fotos\"\n", f);
  std::fclose(f);
  struct Case {
    const char *pictures, *config, *home;
    std::string want;
  };
  const std::string cfg = dir + "/config";
  const Case cases[] = {
      {"/p", cfg.c_str(), "/h", "/p"},
      {"relative", cfg.c_str(), "/h", "/h/Fotos"},
      {nullptr, cfg.c_str(), "/h", "/h/Fotos"},
      {nullptr, "/nowhere", "/h", "/h/Pictures"},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    auto set = [](const char* n, const char* v) { v ? setenv(n, v, 1) : unsetenv(n); };
    set("XDG_PICTURES_DIR", c.pictures), set("XDG_CONFIG_HOME", c.config), set("HOME", c.home);
    EXPECT_EQ(app::PicturesFolder(), c.want);
  }
  for (const auto& [n, v] : was) v ? setenv(n, v->c_str(), 1) : unsetenv(n);
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
  EXPECT_EQ(c.BandDueIn(1000), int64_t(plat::Comfort::kNoteMs));
  const uint32_t noteGone = 1000 + plat::Comfort::kNoteMs, bandAt = noteGone - 1000;
  c.Act(plat::Action::VolumeUp, bandAt);
  EXPECT_EQ(c.BandDueIn(bandAt), 1000) << "the note goes first";
  EXPECT_FALSE(c.View(noteGone).shot);
  EXPECT_EQ(c.View(noteGone).volume, 10);
  EXPECT_EQ(c.BandDueIn(noteGone), int64_t(plat::Comfort::kBandMs) - 1000) << "then the band";
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
