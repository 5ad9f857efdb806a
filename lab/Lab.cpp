#include "lab/Lab.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include "core/Form.h"
#include "platform/blind/Blind.h"

namespace lab {

int64_t Screen::Time() const {
  const int64_t t = f_.Jikan;  // shown in whole units, rounded down
  return t / 10 - (t % 10 != 0 && t < 0);
}
int64_t Screen::Score() const { return f_.Score; }
int64_t Screen::Funds() const { return f_.Sikin; }
int64_t Screen::Feed() const { return f_.Esa; }
int Screen::Amount() const { return int(f_.KaimonoKazu); }
bool Screen::Asking() const { return f_.Mode == pk::kAsking; }
int Screen::Asker() const { return int(f_.Jnow); }
int Screen::Request() const { return int(f_.Jsigoto(f_.Jnow)); }
int Screen::Stamina(int s) const { return int(f_.Jtairyoku(s)); }
// While a request waits the panel still shows the one asking as free: the
// request is in the message, not yet a job.
int Screen::Job(int s) const { return Asking() && s == Asker() ? int(pk::kIdle) : int(f_.Jsigoto(s)); }
int Screen::Stage(int col, int row) const { return int(f_.PikoraSyu(col, row)); }
int Screen::Count(int stage) const {
  int n = 0;
  for (int c = 0; c <= 8; ++c)
    for (int r = 0; r <= 13; ++r) n += f_.PikoraSyu(c, r) == stage;
  return n;
}

namespace {

// The lab's hands: the one key the policy pressed, given to the game at the
// point it was pressed, and every input taken written down. A replay of the
// lab's game is paced for the eye where no timer runs: a moment before each
// answer, longer before each page of the roll.
class Hands : public plat::Tape {
 public:
  bool Next(uint64_t, uint32_t, plat::Event& e, uint32_t&) override {
    if (!key) return false;
    e = plat::Event{plat::Event::KeyDown, key, 0, 0};
    key = 0;
    return true;
  }
  void Taken(uint64_t point, uint32_t, const plat::Event& e) override {
    if (log) log->push_back(replay::Input{point, wait, e, {}});
  }
  int key = 0;
  uint32_t wait = 0;  // the pace written for the key
  std::vector<replay::Input>* log = nullptr;
};

constexpr int kPageKey = ' ';                // turns the roll's pages, ends the bankruptcy
constexpr uint64_t kMaxSteps = 50'000'000;  // a policy that never stops pressing keys

}  // namespace

namespace {

void Show(std::FILE* out, const Screen& s, int key) {
  static const char* const kJobs[7] = {"eggs", "feed", "train", "rest", "warm", "sell", "idle"};
  std::fprintf(out, "time %4lld score %5lld funds %6lld feed %6lld pen %d/%d/%d/%d/%d staff", (long long)s.Time(),
               (long long)s.Score(), (long long)s.Funds(), (long long)s.Feed(), s.Count(pk::kEgg),
               s.Count(pk::kYoung1), s.Count(pk::kYoung2), s.Count(pk::kYoung3), s.Count(pk::kAdult));
  for (int k = 0; k <= 3; ++k) std::fprintf(out, " %s:%d", kJobs[s.Job(k)], s.Stamina(k));
  std::fprintf(out, "  | %d asks %s x%d: %s\n", s.Asker(), kJobs[s.Request()], s.Amount(),
               key == plat::kKeyLeft ? "permit" : "refuse");
}

}  // namespace

replay::Ending PlayGame(const PolicyInfo& p, uint64_t seed, std::vector<replay::Input>* inputs, std::FILE* show) {
  plat::Blind blind(seed);
  Hands hands;
  hands.log = inputs;
  blind.UseTape(&hands);
  pk::Form1 f(blind);
  const std::unique_ptr<Policy> policy = p.make(seed);
  const Screen screen(f);
  bool fatal = false;
  try {
    f.Form_Load();
    for (uint64_t step = 0; step < kMaxSteps; ++step) {
      if (!hands.key && f.Timer1.Interval() == 0) {
        hands.key = f.Mode >= pk::kBankrupt ? kPageKey : policy->Key(screen);
        hands.wait = f.Mode >= pk::kBankrupt ? 1500 : f.Mode == pk::kAsking ? 600 : 0;
      }
      if (show && screen.Asking() && (hands.key == plat::kKeyLeft || hands.key == plat::kKeyRight))
        Show(show, screen, hands.key);
      if (!f.Step()) break;
    }
  } catch (const pk::FatalError&) {
    fatal = true;
  }
  return replay::Conclude(f, blind.Point(), fatal);
}

std::vector<replay::Ending> PlayGames(const PolicyInfo& p, uint64_t first, uint64_t n, int jobs) {
  std::vector<replay::Ending> ends(n);
  std::atomic<uint64_t> next{0};
  auto work = [&] {
    for (uint64_t i; (i = next.fetch_add(1)) < n;) ends[i] = PlayGame(p, first + i);
  };
  jobs = int(std::min<uint64_t>(uint64_t(std::max(jobs, 1)), n));  // none for no games
  std::vector<std::thread> threads;
  for (int j = 1; j < jobs; ++j) threads.emplace_back(work);
  work();
  for (auto& t : threads) t.join();
  return ends;
}

double Quantile(const std::vector<int64_t>& sorted, double q) {
  if (sorted.empty()) return 0;
  const double at = q * double(sorted.size() - 1);
  const size_t lo = size_t(std::floor(at)), hi = std::min(lo + 1, sorted.size() - 1);
  return double(sorted[lo]) + (at - double(lo)) * double(sorted[hi] - sorted[lo]);
}

Summary Summarise(const std::vector<replay::Ending>& ends) {
  Summary s;
  s.games = ends.size();
  if (ends.empty()) return s;
  std::vector<int64_t> scores;
  double funds = 0, total = 0;
  for (size_t i = 0; i < ends.size(); ++i) {
    const replay::Ending& e = ends[i];
    if (e.how == "vacation") ++s.vacations;
    else if (e.how == "bankrupt") ++s.bankruptcies;
    else ++s.others;
    scores.push_back(e.score);
    total += double(e.score);
    funds += double(e.funds);
    s.above9999 += e.score > 9999;
    if (e.score > ends[s.best].score) s.best = i;
  }
  std::sort(scores.begin(), scores.end());
  s.mean = total / double(ends.size());
  s.meanFunds = funds / double(ends.size());
  s.median = Quantile(scores, 0.5);
  s.p10 = Quantile(scores, 0.1);
  s.p90 = Quantile(scores, 0.9);
  s.max = scores.back();
  return s;
}

namespace {

// What a signal must clean up while a histogram is drawn: gnuplot, and the
// temporary folder with the scores and the picture. Plain memory, as a
// signal handler may use nothing else.
char gFolder[32], gScores[48], gPicture[48];
volatile pid_t gPlotter = 0;

void CleanUp() {
  if (const pid_t p = gPlotter; p > 0) {
    kill(p, SIGKILL);
    waitpid(p, nullptr, 0);
    gPlotter = 0;
  }
  if (gFolder[0]) {
    unlink(gScores);
    unlink(gPicture);
    rmdir(gFolder);
    gFolder[0] = 0;
  }
}

void OnSignal(int sig) {
  CleanUp();
  signal(sig, SIG_DFL);
  raise(sig);
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

void CleanUpOnSignals() {
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  signal(SIGHUP, OnSignal);
}

bool DrawHistogram(const std::string& policy, const std::vector<replay::Ending>& ends, std::string& png,
                   std::string& why) {
  // Only names made here reach gnuplot's script: the folder is made in /tmp
  // whatever TMPDIR says, and the policy's name is one of the lab's own.
  if (policy.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") != std::string::npos)
    return why = "the policy's name is no plain word", false;
  char folder[] = "/tmp/pikora-lab-XXXXXX";
  if (!mkdtemp(folder)) return why = std::string("cannot make a temporary folder: ") + std::strerror(errno), false;
  std::snprintf(gScores, sizeof gScores, "%s/scores", folder);
  std::snprintf(gPicture, sizeof gPicture, "%s/scores.png", folder);
  std::memcpy(gFolder, folder, sizeof folder);
  const std::string scores = gScores, picture = gPicture;
  std::string text;
  int64_t max = 0;
  for (const auto& e : ends) text += std::to_string(e.score) + "\n", max = std::max(max, e.score);
  const int fd = open(gScores, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  const bool written = fd >= 0 && WriteAll(fd, text);
  if (fd >= 0 && close(fd) != 0) why = "cannot write the scores for gnuplot";
  // About fifty bars of a round width over the whole axis, which always
  // reaches the high-score ending.
  const int64_t axis = std::max<int64_t>(max, 10000);
  int64_t width = 1;
  for (int64_t decade = 1; width * 50 < axis; decade *= 10)
    for (int64_t m : {1, 2, 5})
      if (width * 50 < axis) width = m * decade;
  // Games come whole: below ten in the tallest bar gnuplot would mark halves.
  std::map<int64_t, int> bars;
  int tallest = 0;
  for (const auto& e : ends) tallest = std::max(tallest, ++bars[e.score / width]);
  const std::string script =
      "set terminal pngcairo size 900,540 font 'sans,11'\n"
      "set output '" + picture + "'\n"
      "set title '" + policy + ": the score of " + std::to_string(ends.size()) + " games'\n"
      "set xlabel 'score'\nset ylabel 'games'\nset grid ytics\nset key off\n"
      "set style fill solid 0.8 border -1\nset boxwidth " + std::to_string(width) + " absolute\n"
      "set xrange [" + std::to_string(-width) + ":" + std::to_string(axis + 2 * width) + "]\n"
      "set yrange [0:*]\n" + (tallest < 10 ? "set ytics 1\n" : "") +
      "set arrow from 9999.5, graph 0 to 9999.5, graph 1 nohead dt 2 lc rgb '#c03030'\n"
      "set label 'high-score ending above 9999' at 9999.5, graph 0.95 right offset -1,0 tc rgb '#c03030'\n"
      "w = " + std::to_string(width) + "\n"
      "plot '" + scores + "' using (w * floor($1 / w) + w / 2.0):(1) smooth frequency with boxes lc rgb '#4a7ab0'\n";
  bool ok = false;
  int script_pipe[2];
  if (!written || !why.empty()) {
    why = "cannot write the scores for gnuplot";
  } else if (pipe2(script_pipe, O_CLOEXEC) != 0) {
    why = "cannot start gnuplot";
  } else {
    // gnuplot reads the script from a pipe; its complaints come on stderr.
    posix_spawn_file_actions_t acts;
    posix_spawn_file_actions_init(&acts);
    posix_spawn_file_actions_adddup2(&acts, script_pipe[0], 0);
    pid_t pid = 0;
    char arg0[] = "gnuplot";
    char* const argv[] = {arg0, nullptr};
    const int err = posix_spawnp(&pid, "gnuplot", &acts, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&acts);
    close(script_pipe[0]);
    if (err != 0) {
      close(script_pipe[1]);  // no one reads the script
      why = err == ENOENT ? "gnuplot is not installed (scripts/deps.sh installs it)"
                          : std::string("cannot start gnuplot: ") + std::strerror(err);
    } else {
      gPlotter = pid;
      WriteAll(script_pipe[1], script);  // a gnuplot that fails early is told by its status
      close(script_pipe[1]);
      int st = 0;
      while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
      }
      gPlotter = 0;
      std::ifstream in(picture, std::ios::binary);
      png.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      ok = WIFEXITED(st) && WEXITSTATUS(st) == 0 && png.size() > 8 && png.compare(1, 3, "PNG") == 0;
      if (!ok) why = "gnuplot could not draw the histogram";
    }
  }
  CleanUp();
  return ok;
}

}  // namespace lab
