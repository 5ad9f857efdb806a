// The lab's policies. Each sees only the Screen; what the careful one knows
// of the four employees (what they pay and how well they sell) is what a
// player learns by watching them at work.
#include <algorithm>

#include "core/Form.h"
#include "lab/Lab.h"

namespace lab {
namespace {

class PermitAll : public Policy {
 public:
  int Key(const Screen& s) override { return s.Asking() ? plat::kKeyLeft : 0; }
};

class RefuseAll : public Policy {
 public:
  int Key(const Screen& s) override { return s.Asking() ? plat::kKeyRight : 0; }
};

// Keys at random moments, like a restless player: answers lean on each
// game's own taste for permitting, and between requests any key may come
// (the amount keys and keys the game ignores). Never quits, never pauses.
class Random : public Policy {
 public:
  explicit Random(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
    permit_ = int(Next() % 10000);
  }
  int Key(const Screen& s) override {
    if (!s.Asking() && wait_-- > 0) return 0;
    wait_ = Next() % 8 == 0 ? int(Next() % 60) : int(Next() % 6);
    const int r = int(Next() % 10000);
    if (s.Asking() && r < 8000) return int(Next() % 10000) < permit_ ? plat::kKeyLeft : plat::kKeyRight;
    if (r < 4000) return Next() % 2 ? plat::kKeyLeft : plat::kKeyRight;
    if (r < 5500) return plat::kKeyUp;
    if (r < 8500) return plat::kKeyDown;
    return "AZ09 "[Next() % 5];
  }

 private:
  uint64_t Next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t s_;
  int permit_;  // chance of a Left among the answers, in 1/10000
  int wait_ = 0;
};

// What watching the four teaches: the price of an egg and of a hundred
// rations each pays, and their sale price per point of strength, in tenths.
constexpr int kEggPrice[4] = {100, 120, 80, 150};
constexpr int kFeedPrice[4] = {30, 40, 20, 50};
constexpr int kSaleFactor[4] = {12, 12, 15, 10};

// A careful owner. A refusal costs time (all but a rest's), and time is
// what the game is short of, so it permits nearly everything: rests and
// warming always, training while there is feed and money for it; eggs while
// the pen has room, money is left for the wages and there is time for them
// to grow up; feed to stay ahead of the mouths and the training, the amount
// set to what is needed; and sales through the better sellers once the
// adults are many, or through whoever asks when time or money runs short.
class Careful : public Policy {
 public:
  // Its judgement, in ticks, creatures and money; found by trying many in the lab.
  struct Knobs {
    int feedAhead;   // ticks of feed to keep ahead of the mouths and the training
    int wageAhead;   // ticks of wages to keep in hand
    int eggsUntil;   // no eggs with fewer ticks left than this
    int sellFrom;    // adults enough for a sale through a good seller
    int sellFactor;  // a good seller's price per strength, in tenths
    int sellLate;    // fewer ticks left than this: any seller will do
    int trainFunds;  // training only with this many tenths of the wages in hand
  };
  explicit Careful(const Knobs& k) : k_(k) {}

  int Key(const Screen& s) override {
    if (!s.Asking()) return 0;
    const int who = s.Asker();
    const int64_t ticks = s.Time() * 10 / 3;  // main ticks left
    const int eggs = s.Count(pk::kEgg), adults = s.Count(pk::kAdult);
    const int young = s.Count(pk::kYoung1) + s.Count(pk::kYoung2) + s.Count(pk::kYoung3);
    // Counted as if the one asking were at the job already: what a permit brings.
    int trainers = 0, busy = 1;
    for (int k = 0; k <= 3; ++k) trainers += s.Job(k) == pk::kTrain, busy += s.Job(k) != pk::kIdle;
    const int64_t mouths = young + adults;
    const int64_t perTick = mouths + 2 * adults * std::max(trainers, 1);
    const int64_t feedNeed = perTick * std::min<int64_t>(ticks, k_.feedAhead) + 200;
    const int64_t reserve = (4 + 2 * busy) * std::min<int64_t>(ticks, k_.wageAhead) + 100;
    switch (s.Request()) {
      case pk::kBuyEggs: {
        const int room = 105 - (eggs + young + adults);
        const int64_t spare = s.Funds() - reserve - std::max<int64_t>(0, feedNeed - s.Feed()) / 100 * kFeedPrice[who];
        const int k = int(std::min<int64_t>({5, room / 10, spare / (10 * kEggPrice[who])}));
        return k >= 1 && ticks >= k_.eggsUntil ? Amount(s, k) : plat::kKeyRight;
      }
      case pk::kBuyFeed: {
        if (s.Feed() >= feedNeed) return plat::kKeyRight;
        const int64_t afford = (s.Funds() - reserve / 2) / (10 * kFeedPrice[who]);
        if (afford < 1) return plat::kKeyRight;
        return Amount(s, int(std::clamp<int64_t>(std::min<int64_t>((feedNeed - s.Feed() + 999) / 1000, afford), 1, 5)));
      }
      case pk::kTrain: {
        const bool fed = s.Feed() >= 2 * adults * 20 + mouths * 20;
        return fed && s.Funds() * 10 >= reserve * k_.trainFunds ? plat::kKeyLeft : plat::kKeyRight;
      }
      case pk::kSell: {
        const bool good = kSaleFactor[who] >= k_.sellFactor && adults >= k_.sellFrom;
        return good || ticks < k_.sellLate || s.Funds() < reserve ? plat::kKeyLeft : plat::kKeyRight;
      }
      default:  // rest, warming
        return plat::kKeyLeft;
    }
  }

 private:
  const Knobs k_;
  // Sets the shop's amount first, then permits.
  static int Amount(const Screen& s, int k) {
    if (s.Amount() < k) return plat::kKeyUp;
    if (s.Amount() > k) return plat::kKeyDown;
    return plat::kKeyLeft;
  }
};

}  // namespace

const std::vector<PolicyInfo>& Policies() {
  static const std::vector<PolicyInfo> all = {
      {"permit-all", "permits every request at the amount the shop shows (one)",
       [](uint64_t) { return std::make_unique<PermitAll>(); }},
      {"refuse-all", "refuses every request", [](uint64_t) { return std::make_unique<RefuseAll>(); }},
      {"random", "random keys at random moments, each game with its own taste for permitting",
       [](uint64_t seed) { return std::make_unique<Random>(seed); }},
      {"careful", "buys what the pen can use, feeds ahead, trains, rests the tired, keeps money for the wages",
       [](uint64_t) { return std::make_unique<Careful>(Careful::Knobs{130, 460, 490, 40, 12, 110, 2}); }},
      {"bold", "as careful, with less money kept back and more sales through the best sellers",
       [](uint64_t) { return std::make_unique<Careful>(Careful::Knobs{150, 400, 245, 3, 14, 240, 0}); }},
  };
  return all;
}

const PolicyInfo* FindPolicy(const std::string& name) {
  for (const PolicyInfo& p : Policies())
    if (p.name == name) return &p;
  return nullptr;
}

}  // namespace lab
