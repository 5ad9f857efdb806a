// Recorded games: whole games on the headless twin, each a seed and a scripted
// player, traced at the platform seam (every sound, key and present with a
// digest of its drawing calls, and the record after each step) and compared
// line by line with tests/traces/<name>.trace. After a deliberate change,
// PIKORA_RETRACE=1 build/tests/pikora_tests --gtest_filter='Recorded*'
// writes them afresh; the diff is then reviewed like code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/headless/Tracer.h"
#include "tests/Play.h"

namespace {

// A player who answers each request kind with its own chance of a permit,
// sets purchases to a random amount up to `amount` first (pushing once past
// the limits), and answers at random moments, often while a face still moves.
struct Style {
  const char* name;
  uint64_t seed;
  int permit[6];  // % by request: eggs, feed, train, rest, warm, sell
  int amount;
  int time = -1, score = -1;  // a shorter game, a head start; -1: as the game starts
  const char* lang = "ja";
  bool between = false;  // also keys between requests
};

// Together they meet every request and every job's return, hatching,
// growth, hunger, training, sales, refusals, the amount keys, a bankruptcy
// and the three kinds of ending roll; RecordedCoverage checks it.
const Style kGames[] = {
    {"careful", 17, {-1, -1, -1, -1, -1, -1}, 5},             // a whole game; the roll finds no grown creature
    {"spendthrift", 2, {100, 100, 100, 100, 100, 0}, 5},      // bankrupt
    {"highroll", 1, {90, 100, 100, 100, 100, 100}, 5, 300, 9960},  // a short game over 9999
    {"seller", 2, {0, 0, 100, 100, 0, 100}, 1, 150},          // a short game; the roll sells what is left
    {"crowded", 14, {-1, -1, -1, -1, -1, -1}, 5},             // the pen all but full
    {"weary", 13, {100, 20, 100, 0, 100, 100}, 3},            // rests refused: stamina runs low
    {"restless", 34, {90, 100, 100, 100, 100, 100}, 5},       // rests at the edge of tiredness
    {"hasty", 3, {100, 100, 100, 100, 100, 0}, 5},            // bankrupt, another speaker
    // As a player's first game: the opening as it stands, keys also between requests.
    {"opening", 28, {-1, -1, -1, -1, -1, -1}, 5, -1, -1, "ja", true},
    {"english", 17, {-1, -1, -1, -1, -1, -1}, 5, 4009, 0, "en"},  // careful's game, in English
};

// A careful owner: a chance below zero means judging by what the screen shows.
bool Judge(pk::Form1& f, int kind) {
  int adults = 0, eggs = 0;
  int64_t lv = 0;
  for (int c = 0; c <= 8; ++c)
    for (int r = 0; r <= 13; ++r) {
      if (f.PikoraSyu(c, r) == 4) ++adults, lv += f.PikoraLv(c, r);
      eggs += f.PikoraSyu(c, r) == 0;
    }
  switch (kind) {
    case 0: return f.Sikin > 1500 + 1500 * f.KaimonoKazu && f.PikoraKazu < 60;
    case 1: return f.Esa < 1500 + 20 * adults && f.Sikin > 600;
    case 2: return adults > 0 && f.Esa > 400 + 40 * adults;
    case 4: return eggs > 0;
    case 5: return adults > 0 && (lv / adults > 830 || f.Sikin < 500 || f.Jikan < 400);
    default: return true;
  }
}

void PrintTo(const Style& st, std::ostream* os) { *os << st.name; }

struct Traced {
  std::vector<std::string> lines;
  std::string kept;  // drawing calls behind the line asked for
};

class Player {
 public:
  explicit Player(const Style& st) : st_(st), rng_(st.seed * 7919 + 17) {}
  uint32_t Next(uint32_t n) {
    rng_ = rng_ * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(rng_ >> 33) % n;
  }
  // A key between requests: the amount, the answer keys (they answer nothing
  // then, or the request that comes before them) and a key of no use.
  int Idle() {
    const int keys[] = {plat::kKeyUp, plat::kKeyDown, plat::kKeyDown, plat::kKeyDown, 'Z', 'Z', plat::kKeyLeft, plat::kKeyRight};
    return keys[Next(Next(4) ? 6 : 8)];
  }
  // The next key while a request waits: a purchase's amount first, then the answer.
  int Key(pk::Form1& f) {
    const int kind = int(f.Jsigoto(f.Jnow));
    if (kind <= 1 && want_ == 0) {
      presses_ = 0;
      want_ = st_.permit[kind] >= 0 ? 1 + int(Next(uint32_t(st_.amount)))
              : kind == 1           ? 1
                                    : 1 + int(std::min<int64_t>(4, f.Sikin / 1500));
      past_ = (want_ == 1 || want_ == 5) && Next(2);
    }
    if (kind <= 1 && want_ != f.KaimonoKazu && ++presses_ <= 6) return want_ > f.KaimonoKazu ? plat::kKeyUp : plat::kKeyDown;
    if (kind <= 1 && past_) {
      past_ = false;
      return want_ == 5 ? plat::kKeyUp : plat::kKeyDown;
    }
    want_ = 0;
    const bool permit = st_.permit[kind] < 0 ? Judge(f, kind) : int(Next(100)) < st_.permit[kind];
    return permit ? plat::kKeyLeft : plat::kKeyRight;
  }

 private:
  const Style& st_;
  uint64_t rng_;
  int want_ = 0;       // the amount to set before answering a purchase; 0: not chosen yet
  bool past_ = false;  // push once more against the limit
  int presses_ = 0;    // a selector that does not move is given up on
};

Traced Play(const Style& st, size_t keep = size_t(-1)) {
  pktest::Game g(st.seed);
  EXPECT_TRUE(g.hp.Speak(st.lang)) << st.lang;
  plat::Tracer tr(g.hp);
  tr.keep = keep;
  Player player(st);
  pk::Form1& f = g.f;
  f.Form_Load();
  if (st.time >= 0) f.Jikan = st.time;
  if (st.score >= 0) f.Score = st.score;
  std::string dump = pktest::DumpRecord(f);
  auto rec = [&] {
    tr.Add("rec " + std::to_string(f.Jikan) + " " + std::to_string(f.Sikin) + " " + std::to_string(f.Esa) + " " +
           std::to_string(f.Score) + " " + std::to_string(f.PikoraKazu) + " " + plat::Tracer::Digest(dump));
  };
  rec();  // the record as the game starts
  int mode = 0, page = 0;
  int job[4] = {6, 6, 6, 6};
  for (int steps = 0; !f.Ended() && steps < 1000000; ++steps) {
    if (g.hp.Pending() == 0) {
      const uint32_t at = g.hp.Ticks() + 1 + player.Next(900);
      if (f.Mode == 1) g.hp.KeyAt(at, player.Key(f));
      else if (f.Mode >= 2) g.hp.KeyAt(at + 400, 'A');
      else if (st.between) g.hp.KeyAt(at + 200 + player.Next(1800), player.Idle());
    }
    if (!f.Step()) break;
    if (f.Mode == 1 && mode != 1) tr.Add("ask " + std::to_string(f.Jnow) + " " + std::to_string(f.Jsigoto(f.Jnow)));
    for (int s = 0; s <= 3; ++s) {
      if (job[s] != 6 && f.Jsigoto(s) == 6)
        tr.Add((mode == 1 ? "refused " : "back ") + std::to_string(s) + " " + std::to_string(job[s]));
      else if (mode == 1 && f.Mode != 1 && s == f.Jnow && job[s] != 6)
        tr.Add("permit " + std::to_string(s) + " " + std::to_string(job[s]) + " x" + std::to_string(f.KaimonoKazu));
      job[s] = int(f.Jsigoto(s));
    }
    if (f.Mode == 3 && f.EDpage != page) tr.Add("page " + std::to_string(page = int(f.EDpage)));
    mode = int(f.Mode);
    if (std::string d = pktest::DumpRecord(f); d != dump) {
      dump = d;
      rec();
    }
  }
  tr.Add("end mode " + std::to_string(f.Mode) + " score " + std::to_string(f.Score));
  return {tr.lines, tr.kept};
}

std::filesystem::path TraceFile(const Style& st) {
  return std::filesystem::path(__FILE__).parent_path() / "traces" / (std::string(st.name) + ".trace");
}

class RecordedGame : public ::testing::TestWithParam<Style> {};

TEST_P(RecordedGame, FollowsItsTrace) {
  const Style& st = GetParam();
  const Traced run = Play(st);
  if (const char* re = std::getenv("PIKORA_RETRACE"); re && *re == '1') {
    std::filesystem::create_directories(TraceFile(st).parent_path());
    std::ofstream out(TraceFile(st));
    for (const auto& l : run.lines) out << l << '\n';
    GTEST_SKIP() << "written " << TraceFile(st);
  }
  std::ifstream in(TraceFile(st));
  ASSERT_TRUE(in) << "no trace " << TraceFile(st) << "; PIKORA_RETRACE=1 writes it";
  std::vector<std::string> want;
  for (std::string l; std::getline(in, l);) want.push_back(l);
  size_t n = 0;
  while (n < want.size() && n < run.lines.size() && want[n] == run.lines[n]) ++n;
  if (n == want.size() && n == run.lines.size()) return;
  size_t show = n;  // the calls of the first present from there on
  while (show < run.lines.size() && run.lines[show].find(" show ") == std::string::npos) ++show;
  ADD_FAILURE() << st.name << ".trace line " << n + 1 << " (at " << (n < want.size() ? want[n].substr(0, want[n].find(' ')) : "the end")
                << " ms)\n  expected: " << (n < want.size() ? want[n] : "(end)")
                << "\n  actual:   " << (n < run.lines.size() ? run.lines[n] : "(end)")
                << "\ndrawing calls behind line " << show + 1 << ":\n"
                << Play(st, show).kept;
}

// The traces as written meet every event the games are chosen for.
TEST(RecordedCoverage, TheGamesMeetEveryEvent) {
  std::string all;
  int rolls[3] = {};  // without a sale page, with one, over 9999
  for (const Style& st : kGames) {
    std::ifstream in(TraceFile(st));
    const std::string t((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    all += t;
    if (const size_t e = t.find("end mode 3 score "); e != std::string::npos)
      ++rolls[std::atoi(t.c_str() + e + 17) > 9999 ? 2 : t.find(" page 1\n") != std::string::npos];
  }
  std::vector<std::string> want{"open bg/bg1.mid", "se9\n", "se4\n", "se8\n", "se10\n", "refused", "key 38", "key 40", "end mode 2"};
  for (int k = 0; k <= 5; ++k)
    for (const char* what : {"ask ", "back "}) want.push_back(std::string(what) + "* " + std::to_string(k) + "\n");
  for (const std::string& w : want) {
    bool found = false;
    for (int s = 0; s <= 3 && !found; ++s) {
      std::string x = w;
      if (const size_t star = x.find('*'); star != std::string::npos) x[star] = char('0' + s);
      found = all.find(x) != std::string::npos;
    }
    EXPECT_TRUE(found) << w;
  }
  bool hungry = false;  // the feed ran out
  std::istringstream lines(all);
  for (std::string l, t, kind; std::getline(lines, l);) {
    std::istringstream w(l);
    long time, funds, feed;
    hungry |= w >> t >> kind >> time >> funds >> feed && kind == "rec" && feed == 0;
  }
  EXPECT_TRUE(hungry);
  for (int r : rolls) EXPECT_GT(r, 0);

  // The opening game starts from the untouched opening state and presses Up
  // and Down both between requests and while one waits.
  std::ifstream in(TraceFile(*std::find_if(std::begin(kGames), std::end(kGames), [](const Style& g) { return g.between; })));
  std::string l;
  std::getline(in, l);
  EXPECT_EQ(l.substr(0, 26), "0 rec 4009 2000 2000 0 23 ");
  int keys[2][2] = {};  // [asking][Up, Down]
  for (bool asking = false; std::getline(in, l);) {
    asking = l.find(" ask ") != std::string::npos || (asking && l.find(" permit ") == std::string::npos && l.find(" refused ") == std::string::npos);
    for (int k : {0, 1}) keys[asking][k] += l.ends_with(k ? " key 40" : " key 38");
  }
  for (auto& during : keys)
    for (int n : during) EXPECT_GT(n, 0);
}

// The record never depends on the language: the same game in English has the
// same steps, sounds and keys as in Japanese; only what is drawn differs.
TEST(RecordedCoverage, TheEnglishGameIsTheJapaneseGame) {
  auto steps = [](const char* name) {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "traces" / (std::string(name) + ".trace"));
    std::vector<std::string> kept;
    for (std::string l; std::getline(in, l);)
      if (l.find(" show ") == std::string::npos) kept.push_back(l);
    return kept;
  };
  const std::vector<std::string> japanese = steps("careful"), english = steps("english");
  EXPECT_GT(english.size(), 1000u);
  EXPECT_TRUE(english == japanese);
}

INSTANTIATE_TEST_SUITE_P(Recorded, RecordedGame, ::testing::ValuesIn(kGames),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
