// Replays: the file read and written, damaged files turned away with a word
// on what is wrong, games recorded on the drawing twin played again on the
// blind one, and the game's --verify with its exit statuses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include "tests/Folder.h"
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/Options.h"
#include "app/Replays.h"
#include "replay/Replay.h"
#include "tests/Play.h"
#include "tests/Run.h"

namespace fs = std::filesystem;

namespace {

// Every input the game takes, as a replay keeps it.
struct Taking : plat::Tape {
  void Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) override {
    inputs.push_back({point, readyMs, e, {}});
  }
  std::vector<replay::Input> inputs;
};

// A whole game of random play on the headless twin, which draws and sounds,
// kept as a replay.
replay::Replay RecordOnHeadless(uint64_t seed) {
  pktest::Game g(seed);
  pktest::RandomPlayer player(seed);
  Taking tape;
  g.hp.UseTape(&tape);
  g.f.Form_Load();
  for (int steps = 0; steps < 2000000; ++steps) {
    player.Feed(g.hp, g.f);
    if (!g.f.Step()) break;
  }
  replay::Replay r;
  r.game = PIKORA_VERSION;
  r.seed = seed;
  r.inputs = tape.inputs;
  r.end = replay::Conclude(g.f, g.hp.Point(), false);
  return r;
}

constexpr size_t kMiB = 1 << 20;  // the largest replay read

const std::string kGood =
    "pikora-replay 2\ngame 1.0.0\nseed 7\nlanguage ja\n0 +1200 key 38\n3 +0 key 37\n3 +45 click 400 300\n"
    "3 +900 language en\nend quit score 0 funds 1990 ticks 3 record 0123456789abcdef\n";

TEST(ReplayFile, ReadsWhatItWrites) {
  replay::Replay r;
  std::string why;
  ASSERT_TRUE(replay::Parse(kGood, r, why)) << why;
  EXPECT_EQ(r.seed, 7u);
  ASSERT_EQ(r.inputs.size(), 4u);
  EXPECT_EQ(r.inputs[1].point, 3u);
  EXPECT_EQ(r.inputs[1].e.key, plat::kKeyLeft);
  EXPECT_EQ(r.inputs[0].wait, 1200u);
  EXPECT_EQ(r.inputs[2].e.type, plat::Event::Click);
  EXPECT_EQ(r.inputs[2].e.y, 300);
  EXPECT_EQ(r.inputs[3].e.type, plat::Event::Language);
  EXPECT_EQ(r.inputs[3].e.key, plat::CarriedLanguages().Find("en"));
  EXPECT_EQ(r.inputs[3].language, "") << "a language carried is known by its index";
  EXPECT_EQ(r.end, (replay::Ending{"quit", 0, 1990, 3, "0123456789abcdef"}));
  EXPECT_EQ(replay::Text(r), kGood);
  // The first language of the table is read by its number too, and written by its code.
  std::string ja = kGood;
  ja.replace(ja.find("language en"), 11, "language ja");
  ASSERT_TRUE(replay::Parse(ja, r, why)) << why;
  EXPECT_EQ(r.inputs[3].e.key, 0);
  EXPECT_EQ(r.inputs[3].language, "") << "as if the game did not have it";
  EXPECT_EQ(replay::Text(r), ja);
  // A language this game does not carry is no fault: it is kept as it is.
  std::string other = kGood;
  other.replace(other.find("language en"), 11, "language pt_BR");
  ASSERT_TRUE(replay::Parse(other, r, why)) << why;
  EXPECT_EQ(r.inputs[3].e.key, -1);
  EXPECT_EQ(replay::Text(r), other);
  // A file of the first format is read as it is and written back as it was.
  const std::string first = "pikora-replay 1" + kGood.substr(kGood.find('\n'));
  ASSERT_TRUE(replay::Parse(first, r, why)) << why;
  EXPECT_EQ(r.format, 1);
  EXPECT_EQ(replay::Text(r), first);
}

// The first format's record digest took the fields in another order: a game
// of that format ends as recorded on its outcome, score, funds and ticks
// alone; the current one on its record too.
TEST(ReplayFile, AFirstFormatGameIsCheckedOnAllButItsRecord) {
  const replay::Ending end{"vacation", 2310, 15021, 1338, "0123456789abcdef"};
  struct Case {
    const char* what;
    void (*change)(replay::Ending&);
    bool first, current;  // ends as recorded in format 1, in format 2
  };
  const Case cases[] = {
      {"the same", [](replay::Ending&) {}, true, true},
      {"another record", [](replay::Ending& e) { e.record = "fedcba9876543210"; }, true, false},
      {"another outcome", [](replay::Ending& e) { e.how = "bankrupt"; }, false, false},
      {"another score", [](replay::Ending& e) { ++e.score; }, false, false},
      {"other funds", [](replay::Ending& e) { --e.funds; }, false, false},
      {"other ticks", [](replay::Ending& e) { ++e.ticks; }, false, false},
  };
  for (const Case& c : cases) {
    replay::Replay r;
    r.end = end;
    replay::Ending got = end;
    c.change(got);
    r.format = 1;
    EXPECT_EQ(replay::EndsAsRecorded(r, got), c.first) << c.what;
    r.format = 2;
    EXPECT_EQ(replay::EndsAsRecorded(r, got), c.current) << c.what;
  }
}

// A recording killed at any byte leaves a file that is turned away whole.
// A replay that went through a Windows editor or mail reads as it was written,
// and one cut between a CR and its LF is cut off like any other.
TEST(ReplayFile, LinesEndingInCrLfReadAsTheyWereWritten) {
  std::string crlf;
  for (char c : kGood) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  replay::Replay plain, windows;
  std::string why;
  ASSERT_TRUE(replay::Parse(kGood, plain, why)) << why;
  ASSERT_TRUE(replay::Parse(crlf, windows, why)) << why;
  EXPECT_EQ(replay::Text(windows), replay::Text(plain));
  EXPECT_FALSE(replay::Parse(crlf.substr(0, crlf.size() - 1), windows, why));
  EXPECT_NE(why.find("truncated: line 9 is cut off"), std::string::npos) << why;
}

TEST(ReplayFile, EveryCutOfAFileIsTurnedAway) {
  replay::Replay r;
  std::string why;
  for (size_t n = 0; n < kGood.size(); ++n) {
    EXPECT_FALSE(replay::Parse(kGood.substr(0, n), r, why)) << n;
    EXPECT_TRUE(why.find("truncated") != std::string::npos || why.find("empty") != std::string::npos ||
                why.find("not a replay") != std::string::npos)
        << n << ": " << why;
  }
}

std::string With(const std::string& from, const std::string& to, std::string t = kGood) {
  t.replace(t.find(from), from.size(), to);
  return t;
}

// Every limit from both sides: the largest value a replay may hold is read
// and written back as it was; the next one is turned away.
TEST(ReplayFile, TheLargestValuesAreReadAndTheNextRefused) {
  const std::string pad(200 - std::string("0 +1200 key 38").size(), ' ');
  struct Case {
    std::string text;
    bool read;
  };
  const Case cases[] = {
      {With("pikora-replay 2", "pikora-replay 1"), true},
      {With("game 1.0.0", "game 1.0.0+git~rc-" + std::string(19, 'Z')), true},  // 32 characters
      {With("game 1.0.0", "game 1.0.0+git~rc-" + std::string(20, 'Z')), false},
      {With("seed 7", "seed 0"), true},
      {With("seed 7", "seed 18446744073709551615"), true},
      {With("seed 7", "seed 18446744073709551616"), false},
      {With("seed 7", "seed 07"), false},
      {With("language ja", "language abcdefghijklmn_P"), true},  // 16 characters
      {With("language ja", "language abcdefghijklmn_PQ"), false},
      {With("language ja", "language Ja"), false},
      {With("0 +1200", "0 +3600000"), true},
      {With("0 +1200", "0 +3600001"), false},
      {With("key 38", "key 0"), true},
      {With("key 38", "key 255"), true},
      {With("key 38", "key 256"), false},
      {With("click 400 300", "click 0 0"), true},
      {With("click 400 300", "click 799 599"), true},
      {With("click 400 300", "click 800 599"), false},
      {With("click 400 300", "click 799 600"), false},
      {With("3 +900 language en\nend quit score 0 funds 1990 ticks 3",
            "18446744073709551615 +900 language en\nend quit score 0 funds 1990 ticks 18446744073709551615"), true},
      {With("ticks 3", "ticks 18446744073709551616"), false},
      {With("score 0", "score 9223372036854775807"), true},
      {With("score 0", "score 9223372036854775808"), false},
      {With("funds 1990", "funds -9223372036854775807"), true},
      {With("funds 1990", "funds -9223372036854775808"), false},
      {With("record 0123456789abcdef", "record 0123456789abcdeF"), false},
  };
  for (const Case& c : cases) {
    replay::Replay r;
    std::string why;
    ASSERT_EQ(replay::Parse(c.text, r, why), c.read) << c.text << why;
    if (c.read) EXPECT_EQ(replay::Text(r), c.text);
  }
  // A line of 200 characters, the longest; one more is too long.
  replay::Replay r;
  std::string why;
  EXPECT_TRUE(replay::Parse(With("key 38", "key " + pad + "38"), r, why)) << why;
  EXPECT_EQ(r.inputs[0].e.key, 38);
  EXPECT_FALSE(replay::Parse(With("key 38", "key  " + pad + "38"), r, why));
  EXPECT_NE(why.find("line 5 is too long"), std::string::npos) << why;
}

TEST(ReplayFile, DamagedFilesSayWhatIsWrong) {
  struct Case {
    std::string text, says;
  };
  const Case cases[] = {
      {"", "empty"},
      {std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), "binary data at byte 1"},
      {With("0 +1200 key 38", "0 +1200 key 3\xe3\x81\x82"), "binary data at byte"},
      {"GIF89a and then some\n", "not a replay"},
      {With("pikora-replay 2", "pikora-replay 3"), "format version 3 is unknown"},
      {With("pikora-replay 2", "pikora-replay 0"), "format version 0 is unknown"},
      {With("pikora-replay 2", "pikora-replay one"), "format version is not a number"},
      {With("seed 7", "seed -7"), "line 3: the seed '-7'"},
      {With("seed 7", "seed 18446744073709551616"), "the seed"},
      {With("seed 7\n", ""), "line 3: expected 'seed <value>'"},
      {With("language ja", "language 9x"), "line 4: the language '9x' makes no sense"},
      {With("3 +0 key 37", "3 +0 language"), "line 6: not an input"},
      {With("3 +0 key 37", "2 +0 key 37\n1 +0 key 37"), "line 7: impossible point 1"},
      {With("3 +900 language", "4 +900 language"), "impossible point 4: the game ended after 3 ticks"},
      {With("language en\n", "language xx\nnot"), "line 9: expected '<point> +<wait>"},
      {With("+1200 key 38", "+1200 key 256"), "line 5: not an input"},
      {With("click 400 300", "click 800 300"), "not an input"},
      {With("+1200 key 38", "+1200 jump"), "not an input"},
      {With("0 +1200", "x +1200"), "line 5: expected '<point> +<wait>"},
      {With("0 +1200", "0 1200"), "line 5: expected '<point> +<wait>"},
      {With("0 +1200 key 38", "0 +1200"), "line 5: expected '<point> +<wait>"},
      {With("0 +1200", "0 +3600001"), "line 5: a wait of 3600001 ms before an input is more than an hour"},
      {With("key 38", "key " + std::string(300, '1')), "line 5 is too long"},
      {With("end quit", "end won"), "the end line makes no sense"},
      {With("record 0123456789abcdef", "record 0123"), "the end line makes no sense"},
      {kGood + "0 key 38\n", "line 10: something follows the end line"},
      {kGood.substr(0, kGood.find("end")), "truncated: the file ends after line 8 without its end line"},
      {kGood.substr(0, kGood.size() - 1), "truncated: line 9 is cut off"},
      // Written by hand or by another program: the game writes none of these.
      {"\xef\xbb\xbf" + kGood, "byte order mark"},
      {"\r", "not a replay"},  // found by the fuzzer
      {With("key 38", "key\r38"), "binary data at byte 58"},
      {With("0 +1200 key 38\n", "0 +1200 key 38\r\r\n"), "binary data at byte 61"},
      {With("score 0", "score -0"), "the end line makes no sense"},
      {With("funds 1990", "funds -0"), "the end line makes no sense"},
      {With("funds 1990", "funds -01990"), "the end line makes no sense"},
  };
  for (const Case& c : cases) {
    replay::Replay r;
    std::string why;
    EXPECT_FALSE(replay::Parse(c.text, r, why)) << c.says;
    EXPECT_NE(why.find(c.says), std::string::npos) << "wanted '" << c.says << "', said '" << why << "'";
  }
}

class ReplayFiles : public pktest::InFolder {
 protected:
  std::string Put(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
};

// The kind and size of a file are looked at before a byte is read: a pipe
// with no writer or an endless device must not hold the game.
TEST_F(ReplayFiles, LoadLooksBeforeItReads) {
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = (dir / "huge").string();
  fs::resize_file(Put("huge", ""), kMiB + 1);
  struct Case {
    std::string path, says;
  };
  const Case cases[] = {{fifo, "not a regular file"},
                        {"/dev/zero", "not a regular file"},
                        {dir.string(), "a folder"},
                        {huge, "too large for a replay: 1048577 bytes"},
                        {(dir / "missing").string(), "cannot open it: No such file"}};
  for (const Case& c : cases) {
    replay::Replay r;
    std::string why;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(replay::Load(c.path, r, why)) << c.path;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1)) << c.path;
    EXPECT_NE(why.find(c.says), std::string::npos) << c.path << ": " << why;
  }
  replay::Replay r;
  std::string why;
  EXPECT_TRUE(replay::Load(Put("good", kGood), r, why)) << why;
  // The largest file read, to its last byte; one byte more is too large.
  const std::string end = "end quit score 0 funds 1990 ticks 3 record 0123456789abcdef\n";
  std::string full = kGood.substr(0, kGood.find("0 +1200"));
  while (full.size() + end.size() + 2 * 24 < kMiB) full += "0 +0 key 38\n";
  full += "0 +0 key" + std::string(kMiB - full.size() - end.size() - 11, ' ') + "38\n";
  ASSERT_EQ(full.size() + end.size(), kMiB);
  EXPECT_TRUE(replay::Load(Put("full", full + end), r, why)) << why;
  EXPECT_FALSE(replay::Load(Put("full", full + " " + end), r, why));
  EXPECT_NE(why.find("too large for a replay"), std::string::npos) << why;
}

// The recorder writes each input as the game takes it: a game killed midway
// leaves a file that is turned away as cut off; once finished it is whole.
TEST_F(ReplayFiles, TheRecorderWritesAsTheGameGoes) {
  replay::Replay game = RecordOnHeadless(11);
  ASSERT_GT(game.inputs.size(), 3u);
  const std::string path = (dir / "game.replay").string();
  replay::Replay back;
  std::string why;
  testing::internal::CaptureStderr();
  {
    replay::Recorder rec;
    EXPECT_TRUE(rec.Open(path, game.seed, game.language, false, why)) << why;  // no return while stderr is held
    for (const replay::Input& in : game.inputs) rec.Taken(in.point, in.wait, in.e);
    rec.Taken(game.end.ticks, replay::kMaxWait + 1, game.inputs.back().e);  // more than an hour: kept as one
    game.inputs.push_back({game.end.ticks, replay::kMaxWait, game.inputs.back().e, {}});
    EXPECT_FALSE(replay::Load(path, back, why));
    EXPECT_NE(why.find("without its end line"), std::string::npos) << why;
    errno = ENOENT;  // left over from before: no failure of the sync
    rec.Finish(game.end);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a replay written and synced whole";
  ASSERT_TRUE(replay::Load(path, back, why)) << why;
  EXPECT_EQ(replay::Text(back), replay::Text(game));
  replay::Recorder nowhere;
  EXPECT_FALSE(nowhere.Open((dir / "no" / "such" / "folder").string(), 1, "ja", false, why));
  EXPECT_NE(why.find("cannot write the replay"), std::string::npos) << why;

  // Written over (--force): a game that never began leaves the older file
  // whole; one that began leaves only itself, however long the older was.
  const std::string older = replay::Text(game) + std::string(5000, '#');
  std::ofstream(path, std::ios::binary | std::ios::trunc) << older;
  {
    replay::Recorder rec;
    ASSERT_TRUE(rec.Open(path, 99, "en", true, why)) << why;
    rec.Discard();
    testing::internal::CaptureStderr();
    rec.Finish(game.end);  // given up: nothing more is written, nor missed
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
  EXPECT_EQ(Text(path), older);
  {
    replay::Recorder rec;
    ASSERT_TRUE(rec.Open(path, game.seed, game.language, true, why)) << why;
    EXPECT_EQ(Text(path), older) << "emptied before the game began";
    rec.Begin();
    for (const replay::Input& in : game.inputs) rec.Taken(in.point, in.wait, in.e);
    rec.Finish(game.end);
  }
  EXPECT_EQ(Text(path), replay::Text(game));
}

// The blind twin draws and sounds nothing, yet plays every game exactly as
// the drawing twin did, whatever keys came at whatever moments.
TEST(Replay, GamesOfTheDrawingTwinPlayTheSameOnTheBlindOne) {
  std::set<std::string> hows;
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    const replay::Replay r = RecordOnHeadless(seed);
    size_t left = 99;
    EXPECT_EQ(replay::PlayBlind(r, &left), r.end) << "seed " << seed;
    EXPECT_EQ(left, 0u) << "seed " << seed;
    hows.insert(r.end.how);
  }
  EXPECT_TRUE(hows.count("bankrupt") && hows.count("vacation")) << "the games should meet both endings";
}

// A language chosen on the pause screen is kept with its point, and a replay
// on the drawing twin speaks it there: the same picture to the last pixel.
TEST(Replay, ALanguageChosenMidwayIsReplayedWhereItWasChosen) {
  const int en = plat::CarriedLanguages().Find("en");
  ASSERT_GE(en, 0);
  pktest::Game g(5);
  Taking tape;
  g.hp.UseTape(&tape);
  g.f.Form_Load();
  for (const auto& [at, key] : std::vector<std::pair<uint32_t, int>>{
           {6000, plat::kKeyUp}, {9000, 'P'}, {9100, 'L'}, {9200, 'P'}, {12000, plat::kKeyLeft}, {30000, plat::kKeyEscape}})
    g.hp.KeyAt(at, key);
  while (g.f.Step()) {
  }
  replay::Replay r;
  r.game = PIKORA_VERSION, r.seed = 5, r.inputs = tape.inputs;
  r.end = replay::Conclude(g.f, g.hp.Point(), false);
  std::string why;
  replay::Replay back;
  ASSERT_TRUE(replay::Parse(replay::Text(r), back, why)) << why;
  EXPECT_NE(replay::Text(back).find(" language en\n"), std::string::npos) << replay::Text(back);

  // The platform hears of the replayed change as of a live one (the window
  // captions itself there), and the pause screen and the volume band speak it.
  struct Listening : plat::Headless {
    using Headless::Headless;
    void Spoken() override { ++spoken; }
    int spoken = 0;
  } hp(back.seed);
  pk::Form1 again(hp);
  replay::Player player(back.inputs);
  hp.UseTape(&player);
  again.Form_Load();
  while (again.Step()) {
  }
  EXPECT_TRUE(player.Spent());
  EXPECT_EQ(hp.Language(), size_t(en));
  EXPECT_EQ(hp.spoken, 1);
  EXPECT_EQ(replay::Conclude(again, hp.Point(), false), r.end);
  EXPECT_TRUE(hp.Display(0).Pixels() == g.hp.Display(0).Pixels()) << "the replay ends on another picture";
  hp.comfort.Act(plat::Action::Pause, 100);
  EXPECT_EQ(hp.comfort.View(100).language, size_t(en)) << "the pause screen";
  hp.comfort.Act(plat::Action::Pause, 200);
  hp.comfort.Act(plat::Action::VolumeDown, 300);
  EXPECT_EQ(hp.comfort.View(300).language, size_t(en)) << "the volume band";

  // Shown to its end, the last picture stays: a key of the game does nothing,
  // Escape ends the showing with the replay's status. One the viewer quit
  // ends at once, well, however the game stood.
  hp.Key(plat::kKeyLeft);
  hp.Key(plat::kKeyEscape);
  EXPECT_EQ(app::AfterReplay(hp, again, player, back), 0);
  EXPECT_EQ(hp.Pending(), 0u) << "a key of the game ended the showing";
  replay::Replay other = back;
  other.end.score += 1;
  hp.Key(plat::kKeyEscape);
  EXPECT_EQ(app::AfterReplay(hp, again, player, other), 1);
  plat::Event quit{plat::Event::KeyDown, plat::kKeyEscape, 0, 0};
  player.Let(quit);
  EXPECT_EQ(app::AfterReplay(hp, again, player, other), 0);
}

// A replayed change back to the table's first language is carried out like
// any other.
TEST(Replay, AChangeBackToTheFirstLanguageIsCarriedOut) {
  plat::Headless hp(5);
  hp.SetLanguage(size_t(plat::CarriedLanguages().Find("en")));
  const std::vector<replay::Input> inputs = {{0, 0, plat::Event{plat::Event::Language, 0, 0, 0}, {}},
                                             {0, 0, plat::Event{plat::Event::KeyDown, plat::kKeyEscape, 0, 0}, {}}};
  replay::Player player(inputs);
  hp.UseTape(&player);
  pk::Form1 f(hp);
  f.Form_Load();
  while (f.Step()) {
  }
  EXPECT_TRUE(player.Spent());
  EXPECT_EQ(hp.Language(), 0u);
}

// An input moved to another point makes another game, and playback says so.
TEST(Replay, AnEditedReplayEndsElsewhere) {
  replay::Replay r = RecordOnHeadless(3);
  size_t at = 0;
  while (at < r.inputs.size() && r.inputs[at].e.key != plat::kKeyLeft) ++at;
  ASSERT_LT(at, r.inputs.size());
  r.inputs[at].e.key = plat::kKeyRight;
  size_t left = 0;
  const replay::Ending got = replay::PlayBlind(r, &left);
  EXPECT_FALSE(got == r.end && left == 0);
}

TEST(Replay, ThePlayersOwnKeysDoNothingButQuit) {
  replay::Player p({{0, 500, plat::Event{plat::Event::KeyDown, plat::kKeyLeft, 0, 0}, {}},
                    {2, 0, plat::Event{plat::Event::KeyDown, plat::kKeyUp, 0, 0}, {}}},
                   /*paced=*/true);
  uint32_t hold = 0;
  plat::Event e{plat::Event::KeyDown, plat::kKeyRight, 0, 0};
  EXPECT_FALSE(p.Let(e));
  e = plat::Event{plat::Event::KeyDown, plat::kKeyUp, 0, 0};
  EXPECT_FALSE(p.Let(e));
  EXPECT_FALSE(p.QuitByPlayer());
  EXPECT_FALSE(p.Next(1, 900, e, hold)) << "the first input is due at point 0 only";
  EXPECT_EQ(hold, 0u);
  EXPECT_FALSE(p.Next(0, 200, e, hold)) << "the player thought for 500 ms";
  EXPECT_EQ(hold, 300u);
  ASSERT_TRUE(p.Next(0, 500, e, hold));
  EXPECT_EQ(e.key, plat::kKeyLeft);
  hold = 0;
  EXPECT_FALSE(p.Next(0, 0, e, hold));
  EXPECT_EQ(hold, 0u) << "nothing more at point 0";
  ASSERT_TRUE(p.Next(2, 0, e, hold));
  EXPECT_TRUE(p.Spent());
  e = plat::Event{plat::Event::Language, 1, 0, 0};
  EXPECT_TRUE(p.Let(e)) << "the viewer's language is drawn, nothing more";
  EXPECT_EQ(e.type, plat::Event::Language);
  for (plat::Event quit : {plat::Event{plat::Event::KeyDown, plat::kKeyEscape, 0, 0},
                           plat::Event{plat::Event::Click, 0, 400, 300}, plat::Event{plat::Event::Close, 0, 0, 0}}) {
    EXPECT_TRUE(p.Let(quit));
    EXPECT_EQ(quit.type, plat::Event::Close) << "quitting closes the game in any mode";
  }
  EXPECT_TRUE(p.QuitByPlayer());
}

bool ParseArgs(std::vector<const char*> args, app::Options& o, std::string& error) {
  args.insert(args.begin(), "pikora");
  return app::ParseOptions(int(args.size()), args.data(), o, error);
}

TEST(ReplayOptions, OneOfRecordReplayAndVerify) {
  app::Options o;
  std::string error;
  ASSERT_TRUE(ParseArgs({"--record", "a.replay", "--seed", "5"}, o, error)) << error;
  EXPECT_EQ(o.record, "a.replay");
  ASSERT_TRUE(ParseArgs({"--replay=b.replay", "--mute"}, o, error)) << error;
  EXPECT_EQ(o.replay, "b.replay");
  ASSERT_TRUE(ParseArgs({"--verify", "c"}, o, error));
  EXPECT_EQ(o.verify, "c");
  struct Case {
    std::vector<const char*> args;
    std::string says;
  };
  const Case cases[] = {{{"--record"}, "--record needs a file"},
                        {{"--verify="}, "--verify needs a file"},
                        {{"--replay", "a", "--replay", "b"}, "--replay is given twice"},
                        {{"--record", "a", "--replay", "b"}, "one at a time"},
                        {{"--verify", "a", "--seed", "3"}, "--seed cannot go with --verify"},
                        {{"--replay", "a", "--seed", "3"}, "--seed cannot go with --replay"}};
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseArgs(c.args, o, error)) << c.says;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

// The real program: what it prints and its status.
pktest::Ran RunGame(const std::string& args, const std::string& env = "") {
  // A game that should have ended at once is killed, never left to hang.
  return pktest::Run(env + " timeout -k 5 20 " + std::string(PIKORA_BUILD_DIR) + "/pikora " + args);
}

TEST_F(ReplayFiles, VerifySaysHowTheGameEndedOrWhatIsWrong) {
  const replay::Replay game = RecordOnHeadless(2);
  const std::string good = Put("good.replay", replay::Text(game));
  replay::Replay edited = game;
  edited.end.score += 1;
  replay::Replay older = edited;
  older.game = "0.9.0";
  replay::Replay foreign = game;  // the course is the same in every language
  foreign.language = "xx";
  foreign.inputs.insert(foreign.inputs.begin(), {0, 0, plat::Event{plat::Event::Language, -1, 0, 0}, "yy"});
  replay::Replay diverted = game;
  diverted.inputs.push_back({game.end.ticks, 0, plat::Event{plat::Event::KeyDown, plat::kKeyUp, 0, 0}, {}});
  // Files of the first format, their record digest of the older kind.
  replay::Replay first = game;
  first.format = 1;
  first.end.record = "0123456789abcdef";
  replay::Replay firstEdited = first;
  firstEdited.end.funds -= 1;
  struct Case {
    std::string file;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {good, 0, replay::Describe(game.end) + "\n"},
      // A game kept from an earlier build: its record digest still matches.
      {PIKORA_SOURCE_DIR "/tests/traces/bold-3.replay", 0, "bankrupt, score 1896, funds 0, 391 ticks\n"},
      {Put("edited", replay::Text(edited)), 1, "the game ends elsewhere than recorded: recorded '" + game.end.how},
      {Put("diverted", replay::Text(diverted)), 1, "1 recorded inputs never taken"},
      {Put("older", replay::Text(older)), 1, "; it was recorded by version 0.9.0, this is " PIKORA_VERSION "\n"},
      {Put("first", replay::Text(first)), 0, "first: a replay of format 1: its record digest is of an older kind"},
      {Put("first-edited", replay::Text(firstEdited)), 1, "the game ends elsewhere than recorded"},
      {Put("cut", replay::Text(game).substr(0, 60)), 2, "cut: truncated"},
      {Put("garbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10)), 2, "garbage: binary data at byte 1"},
      {Put("future", "pikora-replay 9\n"), 2, "future: replay format version 9 is unknown"},
      {"/dev/zero", 2, "/dev/zero: not a regular file"},
      {Put("foreign", replay::Text(foreign)), 0, "played in 'xx', 'yy', which this game does not have"},
      {Put("foreign", replay::Text(foreign)), 0, replay::Describe(game.end) + "\n"},
  };
  for (const Case& c : cases) {
    const pktest::Ran r = RunGame("--verify '" + c.file + "'");
    EXPECT_EQ(r.status, c.status) << c.file << ": " << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.file << ": " << r.out;
    if (c.file == good) EXPECT_EQ(r.out, c.says) << "a replay of this format in ja has nothing more to say";
  }
  // The largest file, refusals all through a game (the slowest input to
  // take), is played in under a second.
  std::string big = replay::HeaderLines(3, "ja");
  const std::string end = replay::EndLine(game.end);
  for (uint64_t at = 0; big.size() + end.size() + 40 < size_t(replay::kMaxBytes);)
    big += replay::InputLine({2 + at++ * 190 / 75000, 0, plat::Event{plat::Event::KeyDown, plat::kKeyRight, 0, 0}, {}});
  const auto t0 = std::chrono::steady_clock::now();
  const pktest::Ran slow = RunGame("--verify '" + Put("big", big + end) + "'");
  EXPECT_EQ(slow.status, 1) << slow.out;
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
  // A damaged replay opens no window either.
  const pktest::Ran r = RunGame("--replay '" + (dir / "cut").string() + "'");
  EXPECT_EQ(r.status, 2) << r.out;
}

// --record makes a new file: whatever is at its name already is kept and
// said in one line, at once (a pipe with no reader would hold open() for
// ever). --force writes over a file, never through a link nor into a pipe
// nobody reads.
TEST_F(ReplayFiles, RecordWritesOnlyANewFileUnlessForced) {
  const std::string old = Put("old.replay", kGood);
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink(dir / "nowhere", dir / "link");
  fs::create_directory(dir / "folder");
  struct Case {
    std::string name, force, says;
  };
  const Case cases[] = {
      {"old.replay", "", "there is a file of that name already (--force writes over it)"},
      {"pipe", "", "there is a named pipe of that name"},
      {"pipe", "--force", "(it is a named pipe)"},
      {"link", "", "there is a symbolic link of that name"},
      {"link", "--force", "there is a symbolic link of that name"},
      {"folder", "", "there is a folder of that name"},
      {"folder", "--force", "(it is a folder)"},
      {"no/such/folder", "", "No such file or directory"},
  };
  for (const Case& c : cases) {
    const std::string path = (dir / c.name).string();
    const auto t0 = std::chrono::steady_clock::now();
    const pktest::Ran r = RunGame("--record '" + path + "' " + c.force, "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << c.name;
    EXPECT_EQ(r.status, 2) << c.name << ": " << r.out;
    EXPECT_EQ(r.out.rfind("pikora: " + path + ": ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.name << " " << c.force << ": " << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
  std::ifstream in(old);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kGood) << "the old replay was touched";
  EXPECT_FALSE(fs::exists(dir / "nowhere")) << "the link was followed";
  EXPECT_EQ(RunGame("--force").status, 2);

  // Forced, an older and longer replay is written anew: nothing of it is
  // left (the game is closed during its logo).
  const pktest::Ran forced = RunGame("--record '" + old + "' --force --seed 9 --mute",
                                     "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME='" + dir.string() +
                                         "' timeout --preserve-status -s TERM 0.5");
  EXPECT_EQ(forced.status, 0) << forced.out;
  std::ifstream again(old);
  const std::string text(std::istreambuf_iterator<char>(again), {});
  EXPECT_EQ(text.rfind("pikora-replay 2\ngame " PIKORA_VERSION "\nseed 9\nlanguage ja\n", 0), 0u) << text;
  replay::Replay back;
  std::string why;
  EXPECT_TRUE(replay::Parse(text, back, why)) << why << text;
}

// A replay written into a pipe whose reader leaves: the game says the replay
// is incomplete and ends as usual, never killed by SIGPIPE.
TEST_F(ReplayFiles, AReaderLeavingThePipeDoesNotEndTheGame) {
  const std::string pipe = (dir / "pipe").string(), log = (dir / "log").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const pid_t game = fork();
  if (game == 0) {
    setenv("SDL_VIDEODRIVER", "dummy", 1), setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    freopen(log.c_str(), "w", stderr);
    execl((std::string(PIKORA_BUILD_DIR) + "/pikora").c_str(), "pikora", "--record", pipe.c_str(), "--force",
          "--mute", nullptr);
    _exit(127);
  }
  std::string header;
  for (int tries = 0; tries < 500 && header.find("language") == std::string::npos; ++tries) {
    char buf[256];
    const ssize_t n = read(reader, buf, sizeof buf);
    if (n > 0) header.append(buf, size_t(n));
    else usleep(10000);
  }
  EXPECT_EQ(header.rfind("pikora-replay 2\n", 0), 0u) << header;
  close(reader);
  usleep(300000);
  kill(game, SIGTERM);  // closes the window: the end line goes into the pipe
  int st = 0;
  ASSERT_TRUE(pktest::Ended(game, st, 10)) << "the game did not end within 10 s of its window closing";
  std::ifstream in(log);
  const std::string said(std::istreambuf_iterator<char>(in), {});
  EXPECT_TRUE(WIFEXITED(st)) << "ended by signal " << (WIFSIGNALED(st) ? WTERMSIG(st) : 0) << ": " << said;
  EXPECT_NE(said.find("is incomplete: Broken pipe"), std::string::npos) << said;
}

}  // namespace
