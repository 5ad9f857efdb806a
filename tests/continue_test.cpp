// Kept games: read back whatever way they stopped, continued on the headless
// twin to exactly the record and picture of the same game played straight
// through to that point, played on into the same file, which then verifies
// as one game; and the clock and the held sound that catching up uses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/Games.h"
#include "app/Options.h"
#include "platform/kit/CatchUp.h"
#include "replay/Kept.h"
#include "tests/Harness.h"

namespace fs = std::filesystem;

namespace {

class Kept : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("pikora-kept-" + std::to_string(getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Put(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
  fs::path dir;
};

using Stop = std::function<bool(const pktest::Game&, int step)>;

struct Case {
  const char* name;
  uint64_t seed;
  std::vector<std::pair<uint32_t, int>> keys;  // ms, key ('X' a click on the play area, 'Q' the window closed)
  Stop stop;  // killed once this holds after a step; none: the game is quit by its keys
};

void Script(plat::Headless& hp, uint32_t from, const std::vector<std::pair<uint32_t, int>>& keys) {
  for (const auto& [at, key] : keys) {
    if (key == 'X') hp.ClickAt(from + at, 400, 300);
    else if (key == 'Q') hp.CloseAt(from + at);
    else hp.KeyAt(from + at, key);
  }
}

// A key every `every` ms from `from` on, count times.
std::vector<std::pair<uint32_t, int>> Every(uint32_t from, uint32_t every, int count, int key) {
  std::vector<std::pair<uint32_t, int>> out;
  for (int i = 0; i < count; ++i) out.push_back({from + uint32_t(i) * every, key});
  return out;
}

// A time at which a face is rising after the key at `at`: the middle of the
// first handler from then on that waits for longer than a step of the clock.
uint32_t FaceRising(uint64_t seed, uint32_t at, int key) {
  pktest::Game g(seed);
  g.hp.KeyAt(at, key);
  g.f.Form_Load();
  for (int step = 0; step < 10000; ++step) {
    const uint32_t before = g.hp.Ticks();
    if (!g.f.Step()) break;
    if (before > at && g.f.Mode == pk::kAsking && g.hp.Ticks() - before > 300) return before + (g.hp.Ticks() - before) / 2;
  }
  ADD_FAILURE() << "no face rose";
  return 0;
}

bool AJobIsOut(const pktest::Game& g) {
  for (int i = 1; i <= 4; ++i)
    if (g.f.Jsigoto(i) != 0) return true;
  return false;
}

// How a game stands: its record, its picture, its language, its music.
struct Stand {
  std::string record;
  std::vector<plat::Color> picture;
  size_t language;
  std::string music;
  uint64_t point;
  bool operator==(const Stand&) const = default;
};
void PrintTo(const Stand& s, std::ostream* os) {
  size_t ink = 0;
  for (plat::Color c : s.picture) ink = ink * 31 + c;
  *os << "record " << s.record << " picture " << ink << " language " << s.language << " music '" << s.music
      << "' point " << s.point;
}

// A headless twin that tells when it goes live.
struct Twin : plat::Headless {
  using Headless::Headless;
  void CaughtUp() override {
    Headless::CaughtUp();
    if (live) live();
  }
  std::function<void()> live;
};
struct TwinGame {
  explicit TwinGame(uint64_t seed) : hp(seed), f(hp) {}
  Twin hp;
  pk::Form1 f;
};
template <class G>
Stand Of(G& g) {
  return {replay::RecordDigest(g.f), g.hp.Display(0).Pixels(), g.hp.Language(), g.hp.audio.MusicMode(), g.hp.Point()};
}

// The kept game's tape, telling of the input that quits before the game takes it.
struct Watching : replay::KeptTape {
  void Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) override {
    if (e.type == plat::Event::Close || e.type == plat::Event::Click ||
        (e.type == plat::Event::KeyDown && e.key == plat::kKeyEscape))
      if (quitting) quitting();
    KeptTape::Taken(point, readyMs, e);
  }
  std::function<void()> quitting;
};

// Continues the kept game in path on a fresh headless twin until it is live,
// and how it stands at that moment; the twin's script is empty meanwhile, so
// nothing but the tape moves it.
struct Continued {
  explicit Continued(const std::string& path) {
    std::string why;
    EXPECT_TRUE(replay::ReadKept(path, kept, why)) << why;
    EXPECT_TRUE(kept.Continuable());
    g = std::make_unique<TwinGame>(kept.game.seed);
    g->hp.Speak(kept.game.language);
    EXPECT_TRUE(tape.Resume(path, kept, why)) << why;
    g->hp.live = [this] { stand = Of(*g), heard = g->hp.audio.log, shown = true; };
    g->hp.UseTape(&tape);
    g->f.Form_Load();
    EXPECT_TRUE(g->hp.Behind());
    while (g->hp.Behind() && g->f.Step()) {
    }
    EXPECT_TRUE(shown) << "never went live: mark " << kept.mark << " point " << g->hp.Point() << " mode " << int(g->f.Mode) << " inputs " << kept.game.inputs.size() << " behind " << g->hp.Behind() << "\n" << replay::Text(kept.game);
  }
  replay::Kept kept;
  replay::KeptTape tape;
  std::unique_ptr<TwinGame> g;
  Stand stand;
  std::vector<std::string> heard;
  bool shown = false;
};

}  // namespace

// Stopped at many points, killed or quit, a game continued stands exactly as
// the game played straight through to that point: the same record, the same
// picture to the last pixel, the same language and music; nothing was heard
// or shown while it caught up. It then plays on into the same file, which
// verifies as one game, a second interruption included.
TEST_F(Kept, AContinuedGameStandsWhereItStoppedAndVerifiesAsOne) {
  using plat::kKeyLeft, plat::kKeyRight, plat::kKeyUp, plat::kKeyEscape;
  const Case cases[] = {
      {"killed during the first request", 2, {}, [](const pktest::Game& g, int) { return g.f.Mode == pk::kAsking; }},
      {"killed during a later request", 3, {{5000, kKeyLeft}, {5600, kKeyUp}, {6000, kKeyRight}, {9000, kKeyLeft}},
       [](const pktest::Game& g, int) { return g.f.Mode == pk::kAsking && g.hp.Pending() == 0; }},
      {"killed during a job", 4, Every(4000, 900, 40, kKeyLeft),
       [](const pktest::Game& g, int) { return g.f.Mode == pk::kPlaying && AJobIsOut(g) && g.hp.Point() % 7 == 3; }},
      {"killed between ticks, keys ahead", 5, Every(3000, 700, 60, kKeyLeft),
       [](const pktest::Game&, int step) { return step == 137; }},
      {"killed in the intro", 6, {}, [](const pktest::Game& g, int) { return g.hp.Point() == 1; }},
      {"killed after a change of language", 7, {{4000, kKeyLeft}, {6000, 'P'}, {6200, 'L'}, {6400, 'P'}, {9000, kKeyLeft}},
       [](const pktest::Game& g, int) { return g.f.Mode == pk::kAsking && g.hp.Pending() == 0; }},
      {"closed on the pause screen", 8, {{4000, kKeyLeft}, {7000, 'P'}, {7500, 'Q'}}, nullptr},
      // Closed in a wait: the handler ran on unseen to its end, and the close came after it.
      {"closed during the logo, before the music", 11, {{1500, 'Q'}}, nullptr},
      {"closed while a face rises", 12, {{4000, kKeyLeft}, {FaceRising(12, 4000, kKeyLeft), 'Q'}}, nullptr},
      {"quit with Escape during a request", 9, {{4000, kKeyLeft}, {5000, kKeyLeft}, {9000, kKeyEscape}}, nullptr},
      {"quit with a click", 10, {{4000, kKeyRight}, {8000, 'X'}}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / (std::string("game-") + std::to_string(c.seed) + ".replay")).string();
    std::string why;
    Stand straight;
    {
      pktest::Game g(c.seed);
      Watching tape;
      tape.quitting = [&] { straight = Of(g); };
      ASSERT_TRUE(tape.Start(path, c.seed, "ja", why)) << why;
      g.hp.UseTape(&tape);
      Script(g.hp, 0, c.keys);
      g.f.Form_Load();
      bool ended = false;
      for (int step = 1; step < 200000; ++step) {
        if (!g.f.Step()) {
          ended = true;
          break;
        }
        if (c.stop && c.stop(g, step)) break;
      }
      if (ended) tape.Finish(replay::Conclude(g.f, g.hp.Point(), false));
      ASSERT_EQ(ended, !c.stop) << "stopped at point " << g.hp.Point();
      if (!ended) straight = Of(g);
    }  // killed: the tape's files are left as they are
    if (std::string(c.name).ends_with("before the music")) {
      // The music the intro started after the close was never heard; the
      // game left it playing, and so it plays once continued.
      EXPECT_EQ(straight.music, "");
      straight.music = "playing";
    }
    {
      Continued on(path);
      EXPECT_EQ(on.stand, straight);
      for (const std::string& heard : on.heard)
        EXPECT_TRUE(heard.rfind("open", 0) == 0 || heard == "play") << "heard while catching up: " << heard;
      // Killed again a little later.
      Script(on.g->hp, on.g->hp.Ticks(), {{800, kKeyLeft}, {1500, kKeyUp}, {2600, kKeyLeft}});
      for (int step = 0; step < 60 && on.g->f.Mode != pk::kBankrupt && on.g->f.Step(); ++step) {
      }
      straight = Of(*on.g);
    }
    Continued again(path);
    EXPECT_EQ(again.stand, straight);
    // Played on to its end and finished.
    Script(again.g->hp, again.g->hp.Ticks(), {{700, kKeyRight}, {3000, kKeyLeft}, {60000, kKeyEscape}});
    while (again.g->f.Step()) {
    }
    again.tape.Finish(replay::Conclude(again.g->f, again.g->hp.Point(), false));
    replay::Replay whole;
    ASSERT_TRUE(replay::Load(path, whole, why)) << why;
    size_t left = 0;
    EXPECT_TRUE(replay::EndsAsRecorded(whole, replay::PlayBlind(whole, &left))) << replay::Text(whole);
    EXPECT_EQ(left, 0u);
    EXPECT_FALSE(fs::exists(replay::PointPath(path))) << "the end line says where it stopped";
  }
}

// Reading a kept game forgives what stopping leaves and nothing else: a line
// cut off, no end line, a quit taken back; a game that ended by itself is no
// more to continue, and damage is damage.
TEST_F(Kept, ReadingForgivesWhatStoppingLeaves) {
  const std::string head = "pikora-replay 2\ngame 1.0.0\nseed 7\nlanguage en\n";
  const std::string two = "0 +1200 key 38\n3 +10 key 37\n";
  struct Row {
    const char* name;
    std::string text, point;  // the file, and the point beside it as the tape writes it ("": none), or other text
    bool good, continuable;
    size_t inputs;
    uint64_t mark;
    std::string kept;  // what stays of the file when it goes on
  };
  const Row rows[] = {
      {"killed, nothing beside", head + two, "", true, true, 2, 3, head + two},
      {"killed, the point beside", head + two, "9", true, true, 2, 9, head + two},
      {"the largest point", head + two, "18446744073709551615", true, true, 2, UINT64_MAX, head + two},
      {"a point behind the last input is not taken", head + two, "2", true, true, 2, 3, head + two},
      {"a point torn by a power cut is not taken", head + two, "9 torn", true, true, 2, 3, head + two},
      {"a garbled point is not taken", head + two, "x9\n", true, true, 2, 3, head + two},
      {"a last line cut off", head + two + "4 +3 ke", "", true, true, 2, 3, head + two},
      {"only the header", head, "", true, true, 0, 0, head},
      {"quit by Escape: taken back", head + two + "5 +0 key 27\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 2, 5, head + two},
      {"quit by a click on the play area", head + two + "5 +0 click 400 300\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 2, 5, head + two},
      {"quit by a click at (16, 12), on the play area", head + two + "5 +0 click 16 12\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 2, 5, head + two},
      {"quit by a click at (783, 587), on the play area", head + two + "5 +0 click 783 587\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 2, 5, head + two},
      {"a click at (15, 300), beside it, quits nothing", head + two + "5 +0 click 15 300\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 3, 5, head + two + "5 +0 click 15 300\n"},
      {"a click at (784, 300), beside it, quits nothing", head + two + "5 +0 click 784 300\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 3, 5, head + two + "5 +0 click 784 300\n"},
      {"a click at (400, 11), beside it, quits nothing", head + two + "5 +0 click 400 11\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 3, 5, head + two + "5 +0 click 400 11\n"},
      {"a click at (400, 588), beside it, quits nothing", head + two + "5 +0 click 400 588\nend quit score 0 funds 10 ticks 5 record 0123456789abcdef\n",
       "", true, true, 3, 5, head + two + "5 +0 click 400 588\n"},
      {"closed in a wait: no input to take back", head + two + "end quit score 0 funds 10 ticks 7 record 0123456789abcdef\n",
       "", true, true, 2, 7, head + two},
      {"the owner came back", head + two + "end vacation score 9 funds 10 ticks 1338 record 0123456789abcdef\n", "", true,
       false, 2, 1338, head + two},
      {"bankrupt", head + two + "9 +0 key 37\nend bankrupt score 0 funds -5 ticks 9 record 0123456789abcdef\n", "",
       true, false, 3, 9, head + two + "9 +0 key 37\n"},
      {"not a replay", "hello\n", "", false, false, 0, 0, ""},
      {"binary", head + "\x01\x02\n", "", false, false, 0, 0, ""},
      {"an input out of order", head + "5 +0 key 37\n3 +0 key 37\n", "", false, false, 0, 0, ""},
      {"empty", "", "", false, false, 0, 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string path = Put("game-x.replay", r.text);
    fs::remove(replay::PointPath(path));
    if (!r.point.empty() && std::isdigit(uint8_t(r.point[0]))) {
      {
        replay::KeptTape writer;
        std::string why;
        fs::remove(dir / "made.replay");  // a kept game is always a new file
        ASSERT_TRUE(writer.Start((dir / "made.replay").string(), 7, "ja", why)) << why;
        writer.Fired(std::stoull(r.point));
      }
      if (r.point == "9") {  // the point in 20 digits and its check
        std::ifstream made(dir / "made.point");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(made), {}), "00000000000000000009 2e2ac13ef8e8d8d2\n");
      }
      fs::copy_file(dir / "made.point", replay::PointPath(path), fs::copy_options::overwrite_existing);
      if (r.point.find("torn") != std::string::npos) {
        std::fstream f(replay::PointPath(path), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(18);
        f.put('1');  // 09 becomes 19: the old and the new digits of a torn write
      }
    } else if (!r.point.empty()) {
      Put("game-x.point", r.point);
    }
    replay::Kept k;
    std::string why;
    ASSERT_EQ(replay::ReadKept(path, k, why), r.good) << why;
    if (!r.good) continue;
    EXPECT_EQ(k.Continuable(), r.continuable);
    EXPECT_EQ(k.game.inputs.size(), r.inputs);
    EXPECT_EQ(k.mark, r.mark);
    EXPECT_EQ(r.text.substr(0, size_t(k.keep)), r.kept);
  }
}

// The game's clock: live it follows the machine's at the replay's speed,
// virtual it moves only by what the game waits, and going live again carries
// on from where it stands, without a jump.
TEST(CatchUp, TheClockFollowsTheMachineAtSpeedOrStandsVirtual) {
  plat::GameClock c;
  c.Start(1000);
  EXPECT_EQ(c.Now(1000, 0, false), 1000u);
  EXPECT_EQ(c.Now(1100, 0, false), 1100u) << "no replay: the machine's pace";
  EXPECT_EQ(c.Now(1200, 4, false), 1500u) << "four times as fast";
  EXPECT_EQ(c.Now(5000, 4, true), 1500u) << "virtual: the machine's time is not counted";
  c.Advance(250);
  EXPECT_EQ(c.Now(6000, 4, true), 1750u);
  EXPECT_EQ(c.Now(6010, 1, false), 1760u) << "live again from where it stood";
  plat::GameClock wrap;
  wrap.Start(0xFFFFFFF0u);
  EXPECT_EQ(wrap.Now(0x10u, 2, false), 0xFFFFFFF0u + 0x40u) << "across the wrap";

  // The held sound keeps the music's state and drops the effects.
  plat::HeldAudio held;
  plat::RecordingAudio real;
  held.MusicOpen("/g/bg/bg1.mid");
  held.Effect("/g/se/se3");
  held.MusicPlay();
  EXPECT_EQ(held.MusicMode(), "playing");
  held.Release(real);
  EXPECT_EQ(real.log, (std::vector<std::string>{"open /g/bg/bg1.mid", "play"}));
  plat::HeldAudio closed;
  closed.MusicOpen("/g/bg/bg1.mid");
  closed.MusicClose();
  plat::RecordingAudio none;
  closed.Release(none);
  EXPECT_TRUE(none.log.empty());
}

// Watching a replay: → doubles the speed up to 16 times, ← halves it down to
// once, End skips to the last input without pacing or showing anything on
// the way, and the game ends as recorded on the same last picture.
TEST(ReplaySpeed, ArrowsSetTheSpeedAndEndSkipsToTheLastPicture) {
  const plat::Event right{plat::Event::KeyDown, plat::kKeyRight, 0, 0}, left{plat::Event::KeyDown, plat::kKeyLeft, 0, 0};
  replay::Player p({{0, 500, right, {}}, {3, 900, left, {}}}, /*paced=*/true);
  EXPECT_EQ(p.Speed(), 1);
  const std::pair<plat::Event, int> steps[] = {{right, 2}, {right, 4}, {right, 8}, {right, 16}, {right, 16},
                                               {left, 8},  {left, 4},  {left, 2},   {left, 1},   {left, 1}};
  for (const auto& [key, speed] : steps) {
    plat::Event e = key;
    EXPECT_FALSE(p.Let(e)) << "the viewer's keys reach no game";
    EXPECT_EQ(p.Speed(), speed);
  }
  EXPECT_EQ(replay::Player({}, false).Speed(), 0) << "unpaced, no replay is watched";
  plat::Event e{plat::Event::KeyDown, plat::kKeyEnd, 0, 0};
  EXPECT_FALSE(p.Behind(0));
  EXPECT_FALSE(p.Let(e));
  EXPECT_TRUE(p.Behind(0)) << "skipping while inputs are left";
  uint32_t hold = 0;
  EXPECT_TRUE(p.Next(0, 0, e, hold)) << "no thinking time while skipping";
  EXPECT_TRUE(p.Next(3, 0, e, hold));
  EXPECT_FALSE(p.Behind(3));

  // A whole game skipped on the drawing twin ends as played straight, on
  // the same picture, with nothing shown on the way.
  std::vector<replay::Input> inputs;
  pktest::Game straight(21);
  struct Taking : plat::Tape {
    void Taken(uint64_t point, uint32_t readyMs, const plat::Event& e) override { inputs->push_back({point, readyMs, e, {}}); }
    std::vector<replay::Input>* inputs;
  } taking;
  taking.inputs = &inputs;
  straight.hp.UseTape(&taking);
  for (uint32_t t = 4000; t < 60000; t += 1300) straight.hp.KeyAt(t, t % 3 ? plat::kKeyLeft : plat::kKeyRight);
  straight.hp.KeyAt(70000, plat::kKeyEscape);
  straight.f.Form_Load();
  while (straight.f.Step()) {
  }
  ASSERT_GT(inputs.size(), 10u);
  TwinGame watched(21);
  replay::Player player(inputs, /*paced=*/true);
  int shownWhileBehind = 0;  // steps taken while skipping
  watched.hp.UseTape(&player);
  watched.hp.KeyAt(6000, plat::kKeyEnd);
  uint64_t skippedAt = 0;
  watched.hp.live = [&] { skippedAt = watched.hp.Point(); };
  watched.f.Form_Load();
  while (watched.f.Step()) {
    if (watched.hp.Behind()) ++shownWhileBehind;
  }
  watched.hp.UseTape(nullptr);  // as after a replay in the window
  EXPECT_GT(skippedAt, 10u) << "shown again once over";
  EXPECT_TRUE(player.Spent());
  EXPECT_EQ(replay::Conclude(watched.f, watched.hp.Point(), false), replay::Conclude(straight.f, straight.hp.Point(), false));
  EXPECT_TRUE(watched.hp.Display(0).Pixels() == straight.hp.Display(0).Pixels());
  EXPECT_GT(shownWhileBehind, 0);
}

// The folder of kept games: the newest is the one to continue, a damaged one
// is renamed and never deleted, twenty of each kind stay, and the offer says
// how the stopped game stood.
TEST_F(Kept, TheFolderKeepsTheLastGamesOfEachKind) {
  const std::string folder = (dir / "pikora").string();
  EXPECT_EQ(app::LastGame(folder), "") << "no folder yet";
  std::string why;
  const std::string made = app::NewGame(folder, why);
  ASSERT_NE(made, "") << why;
  EXPECT_TRUE(fs::is_directory(folder)) << "made when a game starts";
  EXPECT_EQ(fs::path(made).filename().string().size(), std::string("game-2026-12-08_13-35-36.replay").size()) << made;
  const std::string head = "pikora-replay 2\ngame 1.0.0\nseed 7\nlanguage ja\n";
  auto game = [&](int n, const std::string& end) {
    char name[64];
    std::snprintf(name, sizeof name, "pikora/game-2026-01-01_00-00-%02d.replay", n);
    return Put(name, head + (end.empty() ? "" : "end " + end + " score 0 funds 0 ticks 9 record 0123456789abcdef\n"));
  };
  for (int n = 0; n < 25; ++n) game(n, "vacation");
  for (int n = 30; n < 55; ++n) game(n, n % 2 ? "quit" : "");
  game(25, "bankrupt");  // the oldest finished ones go first
  const std::string damaged = Put("pikora/game-2026-01-01_00-00-00.replay.damaged", "x");
  Put("pikora/notes.txt", "mine");
  app::Prune(folder, made);
  size_t finished = 0, stopped = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.find("_00-00-") == std::string::npos || name.find(".damaged") != std::string::npos) continue;
    (name < "game-2026-01-01_00-00-30" ? finished : stopped) += 1;
  }
  EXPECT_EQ(finished, 20u);
  EXPECT_EQ(stopped, 20u);
  EXPECT_FALSE(fs::exists(dir / "pikora/game-2026-01-01_00-00-05.replay"));
  EXPECT_TRUE(fs::exists(dir / "pikora/game-2026-01-01_00-00-06.replay"));
  EXPECT_TRUE(fs::exists(dir / "pikora/game-2026-01-01_00-00-35.replay"));
  EXPECT_FALSE(fs::exists(dir / "pikora/game-2026-01-01_00-00-34.replay"));
  EXPECT_TRUE(fs::exists(damaged)) << "a damaged game is never deleted";
  EXPECT_TRUE(fs::exists(dir / "pikora/notes.txt")) << "only games are pruned";

  // The newest is the last game; set aside, it makes way for the one before.
  fs::remove(made);
  const std::string last = app::LastGame(folder);
  EXPECT_EQ(fs::path(last).filename(), "game-2026-01-01_00-00-54.replay");
  Put("pikora/game-2026-01-01_00-00-54.point", "00000000000000000003\n");
  app::SetAside(last, "a test");
  EXPECT_TRUE(fs::exists(last + ".damaged"));
  EXPECT_FALSE(fs::exists(replay::PointPath(last))) << "its point goes with it";
  EXPECT_TRUE(fs::exists(replay::PointPath(last) + ".damaged"));
  EXPECT_EQ(fs::path(app::LastGame(folder)).filename(), "game-2026-01-01_00-00-53.replay");
  app::SetAside(app::LastGame(folder), "again");
  EXPECT_EQ(fs::path(app::LastGame(folder)).filename(), "game-2026-01-01_00-00-52.replay");

  // Games begun in the same second (two windows, two tabs): NewGame numbers
  // the later ones, and the highest number is the newest.
  for (const char* n : {"", "-2", "-9", "-10"}) Put("pikora/game-2026-01-01_00-01-00" + std::string(n) + ".replay", head);
  for (const char* n : {"-10", "-9", "-2", ""}) {
    const std::string newest = app::LastGame(folder);
    EXPECT_EQ(fs::path(newest).filename(), "game-2026-01-01_00-01-00" + std::string(n) + ".replay");
    fs::remove(newest);
  }
}

// The offer names the game's date and how it stood where it stopped: the
// status panel's time and funds, after the kept inputs and ticks.
TEST_F(Kept, TheOfferSaysHowTheGameStood) {
  pktest::Game g(12);
  replay::KeptTape tape;
  const std::string path = (dir / "game-2026-03-04_05-06-07.replay").string();
  std::string why;
  ASSERT_TRUE(tape.Start(path, 12, "ja", why)) << why;
  g.hp.UseTape(&tape);
  for (uint32_t t = 4000; t < 30000; t += 900) g.hp.KeyAt(t, plat::kKeyLeft);
  g.f.Form_Load();
  for (int step = 0; step < 400 && g.f.Step(); ++step) {
  }
  replay::Kept k;
  ASSERT_TRUE(replay::ReadKept(path, k, why)) << why;
  const plat::Offer o = app::Standing(path, k);
  EXPECT_EQ(o.date, "2026-03-04 05:06");
  EXPECT_EQ(o.time, std::to_string(g.f.Jikan / 10));
  EXPECT_EQ(o.funds, std::to_string(g.f.Sikin));
  EXPECT_NE(g.f.Sikin, 2000) << "the game has moved on from its start";
  // It goes on in its own language, when the game still has it.
  g.hp.SetLanguage(1);
  app::SpeakAsKept(g.hp, k);
  EXPECT_EQ(g.hp.Language(), 0u) << "in ja, as kept";
  k.game.language = "xx";
  g.hp.SetLanguage(1);
  app::SpeakAsKept(g.hp, k);
  EXPECT_EQ(g.hp.Language(), 1u) << "in a language the game no longer has";
}

// --continue goes with the window's options only: the game goes on with its
// own seed, language and file.
TEST(ContinueOption, GoesWithTheWindowsOptionsOnly) {
  const std::pair<std::vector<const char*>, bool> rows[] = {
      {{"--continue"}, true},
      {{"--continue", "--mute", "--fullscreen"}, true},
      {{"--windowed", "--continue"}, true},
      {{"--continue", "--seed", "4"}, false},
      {{"--continue", "--lang", "en"}, false},
      {{"--continue", "--record", "x.replay"}, false},
      {{"--continue", "--replay", "x.replay"}, false},
      {{"--verify", "x.replay", "--continue"}, false},
      {{"--continue=1"}, false},
  };
  for (const auto& [args, good] : rows) {
    std::vector<const char*> argv{"pikora"};
    argv.insert(argv.end(), args.begin(), args.end());
    app::Options o;
    std::string error;
    EXPECT_EQ(app::ParseOptions(int(argv.size()), argv.data(), o, error), good) << args.back() << ": " << error;
    if (good) EXPECT_TRUE(o.resume);
  }
}

// The offer at the start: shown on the overlay until a key; C takes it (the
// key goes no further), any other key withdraws it and goes on as usual; a
// click or a close leaves it. A replay's speed shows above 1× all along,
// and a return to 1× for a moment.
TEST(Offer, CTakesItAnyOtherKeyWithdrawsIt) {
  struct Host : plat::Comfort::Host {
    void Continue() override { ++taken; }
    size_t CurrentLanguage() const override { return 1; }
    int taken = 0;
  };
  const plat::Offer offer{"2026-12-08 13:35", "395", "1940"};
  struct Row {
    plat::Event e;
    bool game, taken, shown;  // the game gets it; the offer was taken; still shown after
  };
  const Row rows[] = {
      {{plat::Event::KeyDown, 'C', 0, 0}, false, true, false},
      {{plat::Event::KeyDown, plat::kKeyLeft, 0, 0}, true, false, false},
      {{plat::Event::KeyDown, 'P', 0, 0}, false, false, false},  // the pause still pauses
      {{plat::Event::Click, 0, 400, 300}, true, false, true},
      {{plat::Event::Close, 0, 0, 0}, true, false, true},
  };
  for (const Row& r : rows) {
    Host host;
    plat::Comfort c(host);
    c.Propose(offer);
    EXPECT_EQ(c.View(0).offer, offer);
    EXPECT_EQ(c.View(0).language, 1u) << "the offer speaks the game's language";
    EXPECT_EQ(c.Take(r.e, r.e.type == plat::Event::KeyDown ? plat::KeyAction(r.e.key, false) : plat::Action::Nothing, 10),
              r.game) << r.e.key;
    EXPECT_EQ(host.taken, int(r.taken)) << r.e.key;
    EXPECT_EQ(c.Proposing(), r.shown) << r.e.key;
  }
  Host host;
  plat::Comfort c(host);
  EXPECT_EQ(c.View(0).speed, 0);
  c.Speed(1, 0);
  EXPECT_EQ(c.View(100).speed, 0) << "a replay at its pace says nothing";
  c.Speed(4, 200);
  EXPECT_EQ(c.View(60000).speed, 4) << "above 1x all along";
  c.Speed(1, 70000);
  EXPECT_EQ(c.View(72499).speed, 1) << "back to 1x, for a moment";
  EXPECT_EQ(c.View(72500).speed, 0);
  EXPECT_GT(c.BandDueIn(70000 + 100), 0) << "the window wakes to take the note away";
}
