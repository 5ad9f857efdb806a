// The lab's policies. Each sees only the Screen; what the careful one knows
// of the four employees (what they pay, how hard they train, how well they
// sell) is what a player learns by watching them at work.
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
// rations each pays, how much stronger a tick of their training makes an
// adult, and their sale price per point of strength, in tenths.
constexpr int kEggPrice[4] = {100, 120, 80, 150};
constexpr int kFeedPrice[4] = {30, 40, 20, 50};
constexpr int kTrainPower[4] = {3, 4, 10, 8};
constexpr int kSaleFactor[4] = {12, 12, 15, 10};

// A careful owner: buys eggs while the pen has room and there is time for
// them to grow up, keeps feed ahead of the mouths, trains when the feed
// allows, rests the tired, sells through the better sellers once the
// adults are many or time runs short, and refuses what wastes money.
class Careful : public Policy {
 public:
  int Key(const Screen& s) override {
    if (!s.Asking()) return 0;
    const int who = s.Asker();
    const int64_t ticks = s.Time() * 10 / 3;  // main ticks left
    const int eggs = s.Count(pk::kEgg), adults = s.Count(pk::kAdult);
    const int young = s.Count(pk::kYoung1) + s.Count(pk::kYoung2) + s.Count(pk::kYoung3);
    int trainers = 0;
    for (int k = 0; k <= 3; ++k) trainers += s.Job(k) == pk::kTrain;
    const int64_t mouths = young + adults;
    const int64_t perTick = mouths + 2 * adults * trainers;
    const int64_t feedNeed = perTick * std::min<int64_t>(ticks, 120) + 200;
    const int64_t reserve = 6 * std::min<int64_t>(ticks, 300) + 200;  // wages to come
    switch (s.Request()) {
      case pk::kBuyEggs: {
        const int room = 105 - (eggs + young + adults);
        const int64_t spare = s.Funds() - reserve - std::max<int64_t>(0, feedNeed - s.Feed()) / 100 * kFeedPrice[who];
        int k = std::min<int64_t>({5, room / 10, spare / (10 * kEggPrice[who])});
        if (ticks < 260) k = 0;
        return k >= 1 ? Amount(s, k) : plat::kKeyRight;
      }
      case pk::kBuyFeed: {
        if (s.Feed() >= feedNeed) return plat::kKeyRight;
        const int64_t afford = (s.Funds() - reserve) / (10 * kFeedPrice[who]);
        const int k = int(std::clamp<int64_t>(std::min<int64_t>((feedNeed - s.Feed() + 999) / 1000, afford), 1, 5));
        return Amount(s, k);
      }
      case pk::kTrain:
        return adults > 0 && s.Feed() > mouths * 25 + adults * 45 && kTrainPower[who] >= 4 ? plat::kKeyLeft
                                                                                              : plat::kKeyRight;
      case pk::kRest:
        return s.Stamina(who) < 60 ? plat::kKeyLeft : plat::kKeyRight;
      case pk::kWarm:
        return eggs > 0 ? plat::kKeyLeft : plat::kKeyRight;
      case pk::kSell:
        return adults > 0 && ((kSaleFactor[who] >= 12 && adults >= 8) || ticks < 120) ? plat::kKeyLeft
                                                                                        : plat::kKeyRight;
      default:
        return plat::kKeyLeft;
    }
  }

 private:
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
      {"careful", "buys what the pen can use, feeds ahead, trains, rests the tired, sells through the better sellers",
       [](uint64_t) { return std::make_unique<Careful>(); }},
  };
  return all;
}

const PolicyInfo* FindPolicy(const std::string& name) {
  for (const PolicyInfo& p : Policies())
    if (p.name == name) return &p;
  return nullptr;
}

}  // namespace lab
