// The strategy lab: whole games on the blind twin, each from its own seed,
// played by a policy that sees only what a player sees, and what came of
// them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "replay/Replay.h"

namespace pk {
class Form1;
}

namespace lab {

// What the screen shows, and nothing else: the status panel, the shop
// window, the request and who brings it, the staff panel and the stages in
// the pen. Not the creatures' strength, not the staff's memory or powers.
class Screen {
 public:
  explicit Screen(const pk::Form1& f) : f_(f) {}
  int64_t Time() const;   // the status panel's time, as shown
  int64_t Score() const;
  int64_t Funds() const;
  int64_t Feed() const;
  int Amount() const;     // the shop's selector, 1 to 5: 10 eggs or 1000 feed each
  bool Asking() const;    // a request waits for its answer
  int Asker() const;      // who asks, 0 to 3 (while Asking)
  int Request() const;    // what is asked: pk::Job (while Asking)
  int Stamina(int s) const;
  int Job(int s) const;   // the staff panel's job of employee s; pk::kIdle when free
  int Stage(int col, int row) const;  // pen cell (0..8, 0..13): pk::Stage
  int Count(int stage) const;         // cells of that stage

 private:
  const pk::Form1& f_;
};

// A way to play. Asked before every step of the game while it is in play
// (not during the intro, nor the ending roll or the bankruptcy, which the lab
// pages through): the key to press now, or 0 for none. While a request waits
// it must answer in the end, with Left or Right.
class Policy {
 public:
  virtual ~Policy() = default;
  virtual int Key(const Screen& s) = 0;
};

struct PolicyInfo {
  std::string name;
  std::string about;  // one line for --help and the README
  std::function<std::unique_ptr<Policy>(uint64_t seed)> make;  // one per game
};
// Every policy, by name.
const std::vector<PolicyInfo>& Policies();
const PolicyInfo* FindPolicy(const std::string& name);

// One whole game of the policy from the seed; inputs (if given) gets every
// input the game took, for a replay; show (if given) gets a line for every
// answer to a request, with what the screen showed.
replay::Ending PlayGame(const PolicyInfo& p, uint64_t seed, std::vector<replay::Input>* inputs = nullptr,
                        std::FILE* show = nullptr);

// Games seed first .. first + n - 1 on `jobs` threads, in seed order.
std::vector<replay::Ending> PlayGames(const PolicyInfo& p, uint64_t first, uint64_t n, int jobs);

struct Summary {
  size_t games = 0, vacations = 0, bankruptcies = 0, others = 0;
  double mean = 0, median = 0, p10 = 0, p90 = 0;  // of the score
  int64_t max = 0;
  size_t best = 0;         // index of the first game with the top score
  size_t above9999 = 0;    // games that reached the high-score ending
  double meanFunds = 0;
};
Summary Summarise(const std::vector<replay::Ending>& ends);
// The q-th quantile (0..1) of sorted values, interpolated between neighbours.
double Quantile(const std::vector<int64_t>& sorted, double q);

// Draws the histogram of the scores with gnuplot into png, the bytes of a
// PNG file; false with why. gnuplot draws into a temporary folder of its own.
bool DrawHistogram(const std::string& policy, const std::vector<replay::Ending>& ends, std::string& png,
                   std::string& why);
// SIGINT, SIGTERM and SIGHUP end gnuplot and remove the temporary folder
// before they end the lab.
void CleanUpOnSignals();

}  // namespace lab
