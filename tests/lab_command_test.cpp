// pikora-lab as a player of the lab runs it: the table it prints for fixed
// seeds, the files it writes, one game shown answer by answer, and options
// it must refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/Run.h"

namespace {

namespace fs = std::filesystem;

// A program that hangs fails its test within a minute (status 124).
pktest::Ran Command(const std::string& program, const std::string& args) {
  return pktest::Run("timeout -k 5 60 " + std::string(PIKORA_BUILD_DIR) + "/" + program + " " + args);
}
bool Has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

// The summaries of fixed seeds, as the lab prints them: counts and shares,
// mean, median, 10th and 90th percentiles, maximum, the high-score endings
// and the mean funds. A change here is a change of the rules or the policies.
TEST(LabCommand, TheTableForFixedSeedsIsPinned) {
  const fs::path out = fs::temp_directory_path() / ("pikora-lab-" + std::to_string(getpid()));
  fs::remove_all(out);
  struct Case {
    const char* args;
    const char* rows[3];
  } cases[] = {
      {"--policy permit-all,refuse-all,random --games 20 --jobs 2",
       {"permit-all       20        0 (0.0 %)     20 (100.0 %)    264.9     0.0      0    645   1793 0 (0.0 %)         0.0",
        "refuse-all       20     20 (100.0 %)        0 (0.0 %)    180.0   180.0    180    180    180 0 (0.0 %)      2984.0",
        "random           20       3 (15.0 %)      17 (85.0 %)    160.7   124.0      0    434    552 0 (0.0 %)       487.9"}},
      // A thousand games: a bound of the careful owner's judgement moved by
      // one changes a few of them.
      {"--policy careful,bold --games 1000 --jobs 2",
       {"careful        1000     755 (75.5 %)     245 (24.5 %)   1926.6  1636.0    889   3252   9083 0 (0.0 %)      8153.6",
        "bold           1000     448 (44.8 %)     552 (55.2 %)   1985.4  1565.0    876   3294  17869 12 (1.2 %)      4092.1"}},
      // One thread plays the same games as two (the figures two threads
      // gave); the best game of each policy is written where it was asked.
      {"--policy careful --games 200 --jobs 1",
       {"careful         200     142 (71.0 %)      58 (29.0 %)   1946.3  1691.5    740   3397   9083 0 (0.0 %)      7708.3",
        "careful: best game, seed 187, vacation, score 9083, funds 57443, 731 ticks"}},
      // The best game of all: the first seed is where the count starts.
      {"--policy bold --games 1 --first-seed 8697 --jobs 1",
       {"bold              1      1 (100.0 %)        0 (0.0 %)  19579.0 19579.0  19579  19579  19579 1 (100.0 %)    120539.0", ""}},
  };
  for (const Case& c : cases) {
    const pktest::Ran r = Command("pikora-lab", std::string(c.args) + " --out '" + out.string() + "'");
    ASSERT_EQ(r.status, 0) << c.args << "\n" << r.out;
    for (const char* row : c.rows)
      if (row) {
        EXPECT_TRUE(Has(r.out, row)) << c.args << ": no row\n" << row << "\nin\n" << r.out;
      }
  }
  EXPECT_GT(fs::file_size(out / "careful-scores.png"), 1000u) << "the histogram";
  // The best game plays back as it says.
  const pktest::Ran verified = Command("pikora", "--verify '" + (out / "careful-best.replay").string() + "'");
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_TRUE(Has(verified.out, "vacation, score 9083, funds 57443, 731 ticks")) << verified.out;
  fs::remove_all(out);
}

TEST(LabCommand, ShowPlaysOneGameAnswerByAnswer) {
  const pktest::Ran r = Command("pikora-lab", "--policy careful --show 34");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(r.out.rfind("careful, seed 34: vacation, score 5518, funds 26219, 541 ticks") != std::string::npos) << r.out;
  EXPECT_TRUE(Has(r.out, "time  400 score     0 funds   1996 feed   1982 pen 5/4/5/4/5 staff idle:100 idle:100 idle:100 idle:100  | 2 asks sell x1: permit"))
      << "the first answer, with the screen as it stood";
  EXPECT_TRUE(Has(r.out, "time  399 score     0 funds   1960 feed   1890 pen 5/4/5/4/5 staff train:100 idle:100 sell:100 idle:100  | 1 asks feed x1: refuse"))
      << "the first refusal";
  size_t answers = 0;
  for (size_t at = 0; (at = r.out.find(" asks ", at)) != std::string::npos; ++at) ++answers;
  EXPECT_EQ(answers, 127u) << "a line for each answer, and only for answers";
}

// Asked for nothing more, the lab plays a thousand games and writes into the
// folder it runs in.
TEST(LabCommand, AThousandGamesIntoTheFolderItRunsIn) {
  const fs::path here = fs::temp_directory_path() / ("pikora-lab-here-" + std::to_string(getpid()));
  fs::create_directories(here);
  const pktest::Ran r = pktest::Run("cd '" + here.string() + "' && " PIKORA_BUILD_DIR "/pikora-lab --policy refuse-all");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "\nrefuse-all     1000   1000 (100.0 %)        0 (0.0 %)    180.0")) << r.out;
  EXPECT_TRUE(fs::exists(here / "refuse-all-best.replay"));
  EXPECT_TRUE(fs::exists(here / "refuse-all-scores.png"));
  // Without gnuplot the table and the best game still come; the status says
  // something is missing. The last seed of all is a seed like any other.
  const pktest::Ran blind = pktest::Run("cd '" + here.string() + "' && PATH=/nonexistent " PIKORA_BUILD_DIR
                                        "/pikora-lab --policy refuse-all --games 1 --first-seed 18446744073709551615");
  EXPECT_EQ(blind.status, 1) << blind.out;
  EXPECT_TRUE(Has(blind.out, "\nrefuse-all: no histogram: gnuplot is not installed (scripts/deps.sh installs it)\n"))
      << blind.out;
  EXPECT_TRUE(Has(blind.out, "\nrefuse-all: best game, seed 18446744073709551615, vacation, score 180")) << blind.out;
  fs::remove_all(here);
}

TEST(LabCommand, OptionsItCannotUseAreRefused) {
  const pktest::Ran help = Command("pikora-lab", "--help");
  EXPECT_EQ(help.status, 0) << help.out;
  EXPECT_EQ(help.out.rfind("Usage: pikora-lab --policy NAME", 0), 0u) << help.out;
  const std::pair<const char*, const char*> cases[] = {
      {"", "pikora-lab: --policy is needed\n"},
      {"--policy nobody", "pikora-lab: no policy is called 'nobody'\n"},
      {"--policy careful,", "pikora-lab: no policy is called ''\n"},
      {"--policy careful --games 0", "pikora-lab: --games takes a whole number from 1 to 10000000, not '0'\n"},
      {"--policy careful --games -3", "pikora-lab: --games takes a whole number from 1 to 10000000, not '-3'\n"},
      {"--policy careful --games 1x", "pikora-lab: --games takes a whole number from 1 to 10000000, not '1x'\n"},
      {"--policy careful --games 10000001", "pikora-lab: --games takes a whole number from 1 to 10000000, not '10000001'\n"},
      {"--policy careful --jobs 0", "pikora-lab: --jobs takes a whole number from 1 to 1024, not '0'\n"},
      {"--policy careful --jobs 1025", "pikora-lab: --jobs takes a whole number from 1 to 1024, not '1025'\n"},
      {"--policy careful --show", "pikora-lab: --show needs a value\n"},
      {"--policy careful stray", "pikora-lab: unexpected argument 'stray'\n"},
      // The largest values are taken, in either form, up to the stray word.
      {"--policy=careful --games=10000000 --jobs=1024 stray", "pikora-lab: unexpected argument 'stray'\n"},
      {"--policy careful --games 2 --first-seed 18446744073709551615",
       "pikora-lab: the seeds would run past 18446744073709551615\n"},
      {"--policy careful --first-seed 99999999999999999999999",
       "pikora-lab: --first-seed takes a whole number, not '99999999999999999999999'\n"},
      // Zeros in front are no fault, however many.
      {"--policy careful --games 0000000000000000000000001 --jobs 0", "pikora-lab: --jobs takes"}};
  for (const auto& [args, says] : cases) {
    const pktest::Ran r = Command("pikora-lab", args);
    EXPECT_EQ(r.status, 2) << "pikora-lab " << args << "\n" << r.out;
    EXPECT_TRUE(Has(r.out, "\nUsage: pikora-lab")) << "pikora-lab " << args;
    EXPECT_TRUE(Has(r.out, "\n  careful     buys what the pen can use")) << "the policies in a column";
    EXPECT_EQ(r.out.rfind(says, 0), 0u) << "pikora-lab " << args << "\n" << r.out;
  }
  // A folder for the pictures that cannot be made: said, status 1, no game played.
  const pktest::Ran r = Command("pikora-lab", "--policy careful --games 1 --out /dev/null/lab");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_EQ(r.out, "pikora-lab: cannot make the folder /dev/null/lab: Not a directory\n");
}

}  // namespace
