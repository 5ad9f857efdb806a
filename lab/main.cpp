// pikora-lab: plays many whole games with each policy asked for, on the
// blind twin, and says how they went: a table, a histogram of the scores,
// and the best game as a replay for `pikora --replay`.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "lab/Lab.h"
#include "platform/Files.h"
#include "platform/Terminal.h"

namespace {

std::string Usage() {
  std::string u =
      "Usage: pikora-lab --policy NAME[,NAME...] [--games N] [--first-seed S] [--jobs J] [--out DIR]\n"
      "       pikora-lab --policy NAME --show SEED\n"
      "Plays N whole games (default 1000) with each policy, game i from seed S + i (S default 1),\n"
      "on J threads (default: every core), without drawing or sound. Prints how they ended and\n"
      "their scores, and writes into DIR (default .) for each policy NAME-scores.png, the\n"
      "histogram of the scores, and NAME-best.replay, the best game, for pikora --replay.\n"
      "--show plays the one game of SEED and prints every answer with what the screen showed.\n"
      "\nPolicies (--policy all for every one):\n";
  for (const lab::PolicyInfo& p : lab::Policies())
    u += "  " + p.name + std::string(12 - std::min<size_t>(11, p.name.size()), ' ') + p.about + "\n";
  return u;
}

bool Whole(const std::string& s, uint64_t max, uint64_t& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  const unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
  if (errno == ERANGE || v > max) return false;
  out = v;
  return true;
}

// A whole file or none: signals wait meanwhile, so the temporary file is
// never left behind.
bool WriteFile(const std::string& path, const std::string& bytes, std::string& why) {
  sigset_t ends, before;
  sigemptyset(&ends);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&ends, sig);
  pthread_sigmask(SIG_BLOCK, &ends, &before);
  const plat::FileWritten w =
      plat::WriteWholeFile(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), true);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (!w.ok) why = "not saved: " + plat::Shown(path) + ": " + w.why;
  return w.ok;
}

std::string Share(size_t n, size_t of) {
  char b[48];
  std::snprintf(b, sizeof b, "%zu (%.1f %%)", n, of ? 100.0 * double(n) / double(of) : 0.0);
  return b;
}

// What the command line asks for.
struct Args {
  std::vector<const lab::PolicyInfo*> policies;
  uint64_t games = 1000, first = 1, jobs = std::max(1u, std::thread::hardware_concurrency());
  std::string out = ".";
  bool show = false, help = false;
  uint64_t showSeed = 0;
};

// The policies of a comma-separated list ("all" for every one); "" or what
// is wrong.
std::string AddPolicies(const std::string& list, Args& a) {
  for (size_t at = 0; at <= list.size();) {
    const size_t comma = std::min(list.find(',', at), list.size());
    const std::string name = list.substr(at, comma - at);
    if (name == "all") {
      for (const lab::PolicyInfo& p : lab::Policies()) a.policies.push_back(&p);
    } else if (const lab::PolicyInfo* p = lab::FindPolicy(name)) {
      a.policies.push_back(p);
    } else {
      return "no policy is called '" + name + "'";
    }
    at = comma + 1;
  }
  return "";
}

// The options, as --name value or --name=value; "" or what is wrong.
std::string ParseArgs(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    std::string o = argv[i], v;
    if (o == "--help") return a.help = true, "";
    const size_t eq = o.find('=');
    if (o.starts_with("--") && eq != std::string::npos) v = o.substr(eq + 1), o = o.substr(0, eq);
    else if (i + 1 < argc) v = argv[i + 1], ++i;
    else return o.starts_with("--") ? o + " needs a value" : "unexpected argument '" + o + "'";
    if (o == "--policy") {
      if (std::string why = AddPolicies(v, a); !why.empty()) return why;
    } else if (o == "--games") {
      if (!Whole(v, 10'000'000, a.games) || a.games == 0)
        return "--games takes a whole number from 1 to 10000000, not '" + v + "'";
    } else if (o == "--first-seed") {
      if (!Whole(v, UINT64_MAX, a.first)) return "--first-seed takes a whole number, not '" + v + "'";
    } else if (o == "--jobs") {
      if (!Whole(v, 1024, a.jobs) || a.jobs == 0) return "--jobs takes a whole number from 1 to 1024, not '" + v + "'";
    } else if (o == "--show") {
      if (!Whole(v, UINT64_MAX, a.showSeed)) return "--show takes a seed, not '" + v + "'";
      a.show = true;
    } else if (o == "--out") {
      a.out = v;
    } else {
      return "unknown option '" + o + "'";
    }
  }
  if (a.policies.empty()) return "--policy is needed";
  if (!a.show && a.first + (a.games - 1) < a.first) return "the seeds would run past 18446744073709551615";
  return "";
}

// Each file the lab writes replaces a file or nothing: a pipe, a folder or a
// link at its name is refused before any game is played. "" or what is wrong.
std::string OutputsRefused(const Args& a) {
  for (const lab::PolicyInfo* p : a.policies)
    for (const char* suffix : {"-scores.png", "-best.replay"}) {
      const std::string name = a.out + "/" + p->name + suffix;
      struct stat st {};
      if (lstat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return plat::Shown(name) + " is " +
               (S_ISDIR(st.st_mode) ? "a folder" : S_ISLNK(st.st_mode) ? "a symbolic link" : S_ISFIFO(st.st_mode) ? "a named pipe" : "a device or socket") +
               ": the lab writes only files there";
    }
  return "";
}

// One policy's games: its row of the table, then its histogram and best game
// written, with a note on each. False when something could not be written.
bool PlayPolicy(const lab::PolicyInfo& p, const Args& a, std::vector<std::string>& notes) {
  const auto t0 = std::chrono::steady_clock::now();
  const std::vector<replay::Ending> ends = lab::PlayGames(p, a.first, a.games, int(a.jobs));
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const lab::Summary s = lab::Summarise(ends);
  std::printf("%-11s %7zu %16s %16s %8.1f %7.1f %6.0f %6.0f %6lld %6s %11.1f %8.2f\n", p.name.c_str(), s.games,
              Share(s.vacations, s.games).c_str(), Share(s.bankruptcies, s.games).c_str(), s.mean, s.median, s.p10,
              s.p90, static_cast<long long>(s.max), Share(s.above9999, s.games).c_str(), s.meanFunds, secs);
  if (s.others) notes.push_back(p.name + ": " + std::to_string(s.others) + " games ended otherwise (quit or fatal)");
  std::fflush(stdout);
  bool ok = true;

  const std::string png = a.out + "/" + p.name + "-scores.png";
  std::string why, picture;
  if (lab::DrawHistogram(p.name, ends, picture, why) && WriteFile(png, picture, why))
    notes.push_back(p.name + ": histogram " + plat::Shown(png));
  else
    notes.push_back(p.name + ": no histogram: " + why), ok = false;

  // The best game once more, its inputs written down, as a replay.
  replay::Replay best;
  best.game = PIKORA_VERSION;
  best.seed = a.first + s.best;
  best.end = lab::PlayGame(p, best.seed, &best.inputs);
  const std::string file = a.out + "/" + p.name + "-best.replay";
  const bool saved = WriteFile(file, replay::Text(best), why);
  if (!(best.end == ends[s.best])) {
    notes.push_back(p.name + ": the best game played differently the second time: " + replay::Describe(best.end));
    ok = false;
  } else if (!saved) {
    notes.push_back(p.name + ": " + why);
    ok = false;
  } else {
    notes.push_back(p.name + ": best game, seed " + std::to_string(best.seed) + ", " + replay::Describe(best.end) +
                    ": pikora --replay " + plat::Shown(file));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  std::string why = ParseArgs(argc, argv, a);
  if (why.empty() && a.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  if (why.empty() && a.show) {
    for (const lab::PolicyInfo* p : a.policies)
      std::printf("%s, seed %llu: %s\n", p->name.c_str(), static_cast<unsigned long long>(a.showSeed),
                  replay::Describe(lab::PlayGame(*p, a.showSeed, nullptr, stdout)).c_str());
    return 0;
  }
  if (why.empty()) why = OutputsRefused(a);
  if (!why.empty()) {
    std::fprintf(stderr, "pikora-lab: %s\n%s", why.c_str(), Usage().c_str());
    return 2;
  }
  lab::CleanUpOnSignals();
  // gnuplot gone early: its pipe's write fails and is said.
  signal(SIGPIPE, SIG_IGN);
  std::error_code ec;
  std::filesystem::create_directories(a.out, ec);
  if (ec) {
    std::fprintf(stderr, "pikora-lab: cannot make the folder %s: %s\n", plat::Shown(a.out).c_str(), ec.message().c_str());
    return 1;
  }
  std::printf("%-11s %7s %16s %16s %8s %7s %6s %6s %6s %6s %11s %8s\n", "policy", "games", "vacation", "bankrupt",
              "mean", "median", "p10", "p90", "max", ">9999", "mean funds", "seconds");
  std::vector<std::string> notes;
  int status = 0;
  for (const lab::PolicyInfo* p : a.policies)
    if (!PlayPolicy(*p, a, notes)) status = 1;
  std::printf("\n");
  for (const std::string& n : notes) std::printf("%s\n", n.c_str());
  return status;
}
