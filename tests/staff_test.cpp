// Staff turns, the request conditions, the memory of recent ideas, the answers
// and the staff panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

// Request codes by roll, written out per request as the design lists them.
int RequestOfRoll(int roll) {
  for (int r : {0, 1, 12}) if (roll == r) return 0;
  for (int r : {2, 3, 14, 20}) if (roll == r) return 1;
  for (int r : {4, 5, 6, 15, 16, 21}) if (roll == r) return 2;
  for (int r : {7, 22}) if (roll == r) return 3;
  for (int r : {8, 9, 17, 19}) if (roll == r) return 4;
  for (int r : {10, 11, 13, 18}) if (roll == r) return 5;
  return -1;
}

// A record on which nobody can ask for anything: no money, an empty pen,
// everyone fresh. Tests switch on exactly what they need.
struct Staff : Game {
  explicit Staff(uint64_t seed = 1) : Game(seed) {
    f.HenSyoki();
    for (int c = 0; c <= 8; ++c)
      for (int r = 0; r <= 14; ++r) f.PikoraSyu(c, r) = 5;
    f.PikoraKazu = 0;
    f.Sikin = 0;
    for (int s = 0; s <= 3; ++s) f.Jtairyoku(s) = 100;
    f.Timer2.Interval(500);
    f.Jnow = 0;
  }
  void Put(int k, int stage) { f.PikoraSyu(k % 9, k / 9) = stage; }
  std::vector<int> Memory(int s) {
    std::vector<int> m;
    for (int slot = 0; slot <= 5; ++slot) m.push_back(int(f.Jkioku(s, slot)));
    return m;
  }
  // Whether employee s, with a clear memory, asks when the procedure runs.
  bool Asks(int s, void (pk::Form1::*proc)()) {
    f.Jnow = s;
    for (int slot = 0; slot <= 5; ++slot) f.Jkioku(s, slot) = 6;
    f.Mode = 0;
    f.Irai = 0;
    f.Timer2.Interval(500);
    const int before = int(f.Jsigoto(s));
    (f.*proc)();
    const bool raised = f.Mode == 1;
    if (raised) {
      EXPECT_EQ(f.Irai, 1);
      EXPECT_EQ(f.Timer2.Interval(), 0);
      f.Jsigoto(s) = before;
    } else {
      EXPECT_EQ(f.Jsigoto(s), before);
      EXPECT_EQ(f.Timer2.Interval(), 500);
    }
    return raised;
  }
};

// A twin game whose random numbers run in step with the game under test:
// NextRoll() is the roll the game's next try will make.
struct Twin : Game {
  explicit Twin(uint64_t seed = 1) : Game(seed) { f.HenSyoki(); }
  int NextRoll() { return int(f.Rnd() * 23); }
};

// Back to idle with a clear memory, for another staff turn of employee 0.
void Reset(Staff& g) {
  g.f.Jsigoto(0) = 6;
  g.f.Mode = 0;
  g.f.Timer2.Interval(500);
  for (int slot = 0; slot <= 5; ++slot) g.f.Jkioku(0, slot) = 6;
}

using Region = std::vector<plat::Color>;
Region Grab(const plat::Surface& s, int x, int y, int w, int h) {
  Region out;
  for (int yy = y; yy < std::min(y + h, s.H()); ++yy)  // the staff panel runs off the bottom
    for (int xx = x; xx < std::min(x + w, s.W()); ++xx) out.push_back(s.At(xx, yy));
  return out;
}

}  // namespace

TEST(StaffTurn, TheFirstRollDecidesWhenEverythingIsPossible) {
  Staff g;
  Twin twin;
  g.f.Sikin = 100000;
  g.Put(0, 0);
  g.Put(1, 4);
  g.f.Jtairyoku(0) = 16;  // the least that allows work; also tired enough to rest
  std::vector<int> seen(6, 0);
  for (int turn = 0; turn < 300; ++turn) {
    Reset(g);
    g.f.JKoudou();
    const int roll = twin.NextRoll();
    ASSERT_EQ(g.f.Irai, 1) << "turn " << turn;
    EXPECT_EQ(g.f.Ransu, roll);
    EXPECT_EQ(g.f.Jsigoto(0), RequestOfRoll(roll)) << "roll " << roll;
    ++seen[RequestOfRoll(roll)];
  }
  for (int c = 0; c <= 5; ++c) EXPECT_GT(seen[c], 0) << "request " << c << " never came";
}

TEST(StaffTurn, SixTriesWhenNothingCanBeAskedEachRecordedExceptRest) {
  Staff g;
  Twin twin;
  for (int turn = 0; turn < 40; ++turn) {
    Reset(g);
    g.f.JKoudou();
    EXPECT_EQ(g.f.Irai, 0);
    EXPECT_EQ(g.f.Mode, 0);
    EXPECT_EQ(g.f.Jsigoto(0), 6);
    std::vector<int> memory(6, 6);
    int roll = 0;
    for (int k = 0; k < 6; ++k) {
      roll = twin.NextRoll();
      const int c = RequestOfRoll(roll);
      if (c == 3) continue;
      for (int slot = 4; slot >= 1; --slot) memory[slot] = memory[slot - 1];
      memory[0] = c;
    }
    EXPECT_EQ(g.f.Ransu, roll);
    EXPECT_EQ(g.Memory(0), memory) << "turn " << turn;
    EXPECT_EQ(g.Memory(1), std::vector<int>(6, 6)) << "only the asking employee remembers";
  }
  EXPECT_EQ(int(g.f.Rnd() * 23), twin.NextRoll()) << "exactly six rolls in each turn";
}

TEST(StaffTurn, StaminaFifteenAllowsOnlyRestAndLeavesTheMemoryAlone) {
  Staff g;
  Twin twin;
  g.f.Sikin = 100000;
  g.Put(0, 0);
  g.Put(1, 4);
  g.f.Jtairyoku(0) = 15;
  int rests = 0;
  for (int turn = 0; turn < 100; ++turn) {
    Reset(g);
    g.f.JKoudou();
    bool restRolled = false;
    for (int k = 0; k < 6 && !restRolled; ++k) restRolled = RequestOfRoll(twin.NextRoll()) == 3;
    EXPECT_EQ(g.f.Irai, restRolled ? 1 : 0) << "turn " << turn;
    EXPECT_EQ(g.f.Jsigoto(0), restRolled ? 3 : 6);
    EXPECT_EQ(g.Memory(0), std::vector<int>(6, 6));
    rests += restRolled;
  }
  EXPECT_GT(rests, 0);
  EXPECT_EQ(int(g.f.Rnd() * 23), twin.NextRoll()) << "a turn stops rolling once asked";
}

TEST(Requests, RestDependsOnStaminaOnlyAndIsNeverRemembered) {
  Staff g;
  g.f.Jtairyoku(0) = 80;
  EXPECT_FALSE(g.Asks(0, &pk::Form1::Yasumi));
  g.f.Jtairyoku(0) = 79;
  EXPECT_TRUE(g.Asks(0, &pk::Form1::Yasumi));
  EXPECT_EQ(g.f.Jsigoto(0), 6);
  g.f.Jtairyoku(0) = 0;
  g.f.Jkioku(0, 1) = 3;  // a remembered rest blocks nothing
  g.f.Yasumi();
  EXPECT_EQ(g.f.Jsigoto(0), 3);
  EXPECT_EQ(g.f.Jkioku(0, 0), 6);
  EXPECT_EQ(g.f.Jkioku(0, 1), 3);
}

TEST(Requests, ASecondThoughtOfTheSameIdeaIsBlocked) {
  Staff g;
  g.f.Atatame();  // no egg yet: not asked, but remembered
  EXPECT_EQ(g.f.Mode, 0);
  EXPECT_EQ(g.Memory(0), (std::vector<int>{4, 6, 6, 6, 6, 6}));
  g.Put(0, 0);
  g.f.Atatame();  // now possible, yet just thought of
  EXPECT_EQ(g.f.Mode, 0);
  EXPECT_EQ(g.Memory(0), (std::vector<int>{4, 4, 6, 6, 6, 6}));
  g.f.Jkioku(0, 5) = 4;  // the sixth slot is never looked at
  g.f.Jkioku(0, 0) = 6;
  g.f.Jkioku(0, 1) = 6;
  g.f.Atatame();
  EXPECT_EQ(g.f.Mode, 1);
  EXPECT_EQ(g.f.Jkioku(0, 5), 4) << "nothing shifts into the sixth slot";
}

TEST(Requests, ARefusalBlocksFourConsiderationsAPermitClearsTheMemory) {
  for (int others = 3; others <= 4; ++others) {
    Staff g;
    g.Put(0, 0);
    g.f.Atatame();
    ASSERT_EQ(g.f.Mode, 1);
    g.f.Display_KeyDown(plat::kKeyRight);
    ASSERT_EQ(g.f.Jsigoto(0), 6);
    EXPECT_EQ(g.f.Jkioku(0, 0), 4) << "a refusal keeps the memory";
    for (int k = 0; k < others; ++k) g.f.EsaKau();  // no money: only remembered
    g.f.Atatame();
    EXPECT_EQ(g.f.Mode, others == 4 ? 1 : 0) << others << " other thoughts";
  }
  Staff g;
  g.Put(0, 0);
  g.f.Atatame();
  g.f.Display_KeyDown(plat::kKeyLeft);
  EXPECT_EQ(g.Memory(0), std::vector<int>(6, 6));
  g.f.Jsigoto(0) = 6;  // back from the job
  g.f.Atatame();
  EXPECT_EQ(g.f.Mode, 1) << "a permitted idea may come again at once";
}

TEST(Requests, EggsNeedMoneyForOneAndAPenBelow105) {
  const int eggPrice[4] = {100, 120, 80, 150};
  for (int s = 0; s <= 3; ++s) {
    Staff g;
    g.f.Sikin = eggPrice[s] - 1;
    EXPECT_FALSE(g.Asks(s, &pk::Form1::TamagoKau));
    g.f.Sikin = eggPrice[s];
    EXPECT_TRUE(g.Asks(s, &pk::Form1::TamagoKau)) << "exactly the price is enough";
  }
  Staff g;
  g.f.Sikin = 100000;
  g.f.PikoraKazu = 105;
  EXPECT_FALSE(g.Asks(0, &pk::Form1::TamagoKau));
  // Every pen cell taken but the count below 105: the always-empty cell
  // outside the pen still lets the request through (the count is what guards).
  for (int k = 0; k <= 125; ++k) g.Put(k, 4);
  g.f.PikoraKazu = 104;
  EXPECT_TRUE(g.Asks(0, &pk::Form1::TamagoKau));
}

TEST(Requests, FeedNeedsMoneyForOneUnitAndNothingElse) {
  const int feedPrice[4] = {30, 40, 20, 50};
  for (int s = 0; s <= 3; ++s) {
    Staff g;
    g.f.Esa = 0;
    g.f.Sikin = feedPrice[s] - 1;
    EXPECT_FALSE(g.Asks(s, &pk::Form1::EsaKau));
    g.f.Sikin = feedPrice[s];
    EXPECT_TRUE(g.Asks(s, &pk::Form1::EsaKau));
  }
}

TEST(Requests, TheBackRowsAreSeenOnlyBySale) {
  Staff eggs;
  for (int k = 105; k <= 125; ++k) eggs.Put(k, 0);
  EXPECT_FALSE(eggs.Asks(0, &pk::Form1::Atatame));
  eggs.Put(104, 0);
  EXPECT_TRUE(eggs.Asks(0, &pk::Form1::Atatame));

  Staff adults;
  for (int k = 105; k <= 125; ++k) adults.Put(k, 4);
  EXPECT_FALSE(adults.Asks(0, &pk::Form1::Kitaeru));
  EXPECT_TRUE(adults.Asks(0, &pk::Form1::Uru));
  adults.Put(104, 4);
  EXPECT_TRUE(adults.Asks(0, &pk::Form1::Kitaeru));

  Staff last;
  last.Put(125, 4);
  EXPECT_TRUE(last.Asks(0, &pk::Form1::Uru));
  Staff young;  // young ones are neither trained nor sold, and no egg is warmed
  for (int k = 0; k <= 125; ++k) young.Put(k, 1 + k % 3);
  EXPECT_FALSE(young.Asks(0, &pk::Form1::Kitaeru));
  EXPECT_FALSE(young.Asks(0, &pk::Form1::Uru));
  EXPECT_FALSE(young.Asks(0, &pk::Form1::Atatame));
}

TEST(Requests, OnlyOneSellerAtATime) {
  Staff g;
  g.Put(0, 4);
  g.f.Jsigoto(3) = 5;
  EXPECT_FALSE(g.Asks(0, &pk::Form1::Uru));
  g.f.Jsigoto(3) = 2;
  EXPECT_TRUE(g.Asks(0, &pk::Form1::Uru));
}

TEST(Requests, ARaisedRequestLeavesTheStaffPanelAsItWas) {
  Staff g;
  g.f.MakeJnow();
  const Region panel = Grab(g.f.Display(0), 70, 400, 300, 180);
  g.Put(0, 4);
  g.f.Jnow = 2;
  g.f.Kitaeru();
  EXPECT_EQ(g.f.Jsigoto(2), 2);
  EXPECT_EQ(g.f.Mode, 1);
  EXPECT_EQ(Grab(g.f.Display(0), 70, 400, 300, 180), panel);
}

TEST(Answers, APermitFixesTheJobLengthAndTheAmountOfThatMoment) {
  const int rest[4] = {40, 30, 80, 40};
  const int length[6] = {15, 12, 20, -1, 20, 30};
  for (int s = 0; s <= 3; ++s)
    for (int c = 0; c <= 5; ++c) {
      Staff g;
      g.f.Jnow = s;
      g.f.Jsigoto(s) = c;
      g.f.Mode = 1;
      g.f.KaimonoKazu = 3;
      for (int slot = 0; slot <= 5; ++slot) g.f.Jkioku(s, slot) = slot % 6;
      g.f.Kyoka();
      EXPECT_EQ(g.f.Jkikan(s), c == 3 ? rest[s] : length[c]) << "employee " << s << " job " << c;
      EXPECT_EQ(g.f.Jsigoto(s), c);
      EXPECT_EQ(g.f.Jnouryoku(s, 0, 0), c == 0 ? 30 : 0);
      EXPECT_EQ(g.f.Jnouryoku(s, 1, 0), c == 1 ? 30 : 0);
      EXPECT_EQ(g.Memory(s), std::vector<int>(6, 6));
    }
}

TEST(Answers, ARefusalCostsTimeUnlessTheEmployeeWantedRest) {
  for (int c = 0; c <= 5; ++c) {
    Staff g;
    g.f.Jnow = 1;
    g.f.Jsigoto(1) = c;
    g.f.Jkioku(1, 0) = c;
    g.f.Jikan = 1000;
    g.f.Dame();
    EXPECT_EQ(g.f.Jikan, c == 3 ? 1000 : 965) << "job " << c;
    EXPECT_EQ(g.f.Jsigoto(1), 6);
    EXPECT_EQ(g.f.Jkioku(1, 0), c);
  }
}

TEST(Answers, EachAnswerSaysItsOwnLineAndTheFaceLeaves) {
  // The line printed by a reference game, to compare with what the answer printed.
  auto reference = [](const char* line) {
    Game r;
    r.f.HenSyoki();
    const std::string lines[5] = {line, "", "", "", ""};
    r.f.WriteMessage(lines);
    return Grab(r.f.Display(1), 170, 250, 180, 120);
  };
  Staff g;
  g.f.Jnow = 2;
  g.f.Jsigoto(2) = 1;
  g.f.Kyoka();
  EXPECT_EQ(Grab(g.f.Display(1), 170, 250, 180, 120), reference("んじゃ、いってくる…"));
  EXPECT_EQ(Grab(g.f.Display(0), 64, 256, 96, 96), Grab(g.f.Display(2), 64, 256, 96, 96));
  EXPECT_EQ(Grab(g.f.Display(0), 170, 250, 180, 120), Grab(g.f.Display(2), 170, 250, 180, 120));

  g.f.Jnow = 3;
  g.f.Jsigoto(3) = 4;
  g.f.Dame();
  EXPECT_EQ(Grab(g.f.Display(1), 170, 250, 180, 120), reference("ダメですかい…"));
  EXPECT_EQ(Grab(g.f.Display(0), 64, 256, 96, 96), Grab(g.f.Display(2), 64, 256, 96, 96));

  // Back from a job: the line and the whole face stay on screen while it is booked.
  g.f.Jnow = 1;
  g.hp.audio.log.clear();
  g.f.Tadaima();
  EXPECT_EQ(Grab(g.f.Display(0), 170, 250, 180, 120), reference("戻りました"));
  EXPECT_EQ(Grab(g.f.Display(0), 64, 256, 96, 96), Grab(g.f.Face(1), 0, 0, 96, 96));
  EXPECT_EQ(g.hp.audio.Effects(), std::vector<int>{1});

  const uint32_t t0 = g.hp.Ticks();
  g.f.ByeKao();
  EXPECT_GE(uint32_t(g.hp.Ticks() - t0), 400u + 10 * 30u);
  EXPECT_EQ(Grab(g.f.Display(0), 64, 256, 96, 96), Grab(g.f.Display(2), 64, 256, 96, 96));
  EXPECT_EQ(Grab(g.f.Display(0), 170, 250, 180, 120), Grab(g.f.Display(2), 170, 250, 180, 120));
}

TEST(StaffPanel, APermitShowsTheJobLabelInTheEmployeesRow) {
  Staff g;
  g.f.Jsigoto(0) = 2;  // already training: the row to compare with
  g.f.MakeJnow();
  auto label = [&](int s) { return Grab(g.f.Display(0), 210, 410 + 30 * s, 150, 30); };
  EXPECT_NE(label(0), label(3));
  EXPECT_EQ(label(1), label(3)) << "two idle rows look alike";
  g.f.Jnow = 3;
  g.f.Jsigoto(3) = 2;
  g.f.Mode = 1;
  g.f.Display_KeyDown(plat::kKeyLeft);
  EXPECT_EQ(label(3), label(0));
  EXPECT_NE(label(3), label(1));
}

TEST(StaffPanel, NamesStaminaAndLabelsStandInTheirColumns) {
  Staff g;
  plat::Surface& vis = g.f.Display(0);
  vis.Fill(plat::Rgb(1, 2, 3));
  g.f.Display(2).Set(369, 575, plat::Rgb(9, 9, 9));  // the panel's corner (cut by the surface)
  g.f.MakeJnow();
  EXPECT_EQ(vis.At(369, 575), plat::Rgb(9, 9, 9));
  for (auto [x, y] : {std::pair{69, 400}, {370, 400}, {70, 399}, {69, 575}})
    EXPECT_EQ(vis.At(x, y), plat::Rgb(1, 2, 3)) << x << "," << y;
  EXPECT_EQ(Grab(vis, 70, 400, 300, 180), Grab(g.f.Display(1), 70, 400, 300, 180));

  // What changes when one value changes, and where.
  auto changedBox = [&](auto change) {
    const Region before = Grab(vis, 0, 0, 768, 576);
    change();
    g.f.MakeJnow();
    const Region after = Grab(vis, 0, 0, 768, 576);
    int x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
    for (int i = 0; i < int(before.size()); ++i)
      if (before[i] != after[i]) {
        x0 = std::min(x0, i % 768), x1 = std::max(x1, i % 768);
        y0 = std::min(y0, i / 768), y1 = std::max(y1, i / 768);
      }
    return std::vector<int>{x0, y0, x1, y1};
  };
  auto inside = [](std::vector<int> b, int x0, int y0, int x1, int y1) {
    return b[2] >= 0 && b[0] >= x0 && b[1] >= y0 && b[2] <= x1 && b[3] <= y1;
  };
  std::vector<int> b = changedBox([&] { g.f.Jtairyoku(1) = 7; });
  EXPECT_TRUE(inside(b, 145, 440, 209, 470)) << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
  EXPECT_LE(b[0], 160) << "the stamina starts near x 145";
  b = changedBox([&] { g.f.Jsigoto(2) = 5; });
  EXPECT_TRUE(inside(b, 210, 470, 369, 500)) << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
  EXPECT_LE(b[0], 213);
  b = changedBox([&] { g.f.Jname(3) = "テスト"; });
  EXPECT_TRUE(inside(b, 70, 500, 144, 530)) << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
  EXPECT_LE(b[0], 73);

  // Raised text: the dark copy lies one pixel right and down of the light
  // one, so the name's top ink row is light only and its bottom row dark only.
  Staff h;
  h.f.MakeJnow();
  const plat::Surface& v = h.f.Display(0);
  int top = -1, bottom = -1;
  for (int y = 405; y < 440; ++y)
    for (int x = 70; x < 145; ++x)
      if (v.At(x, y) != 0) {
        if (top < 0) top = y;
        bottom = y;
      }
  ASSERT_GE(top, 410);
  // Light ink is (150, 120, 90) faded, dark ink (115, 65, 77): told apart by green / red.
  auto kinds = [&](int y, int& light, int& dark) {
    light = dark = 0;
    for (int x = 70; x < 145; ++x) {
      const plat::Color c = v.At(x, y);
      const int r = (c >> 16) & 255, gr = (c >> 8) & 255;
      if (r < 60) continue;
      if (gr * 100 > r * 75) ++light;
      else if (gr * 100 < r * 62) ++dark;
    }
  };
  // The first and last rows with strong ink (faint edges are left out).
  int light = 0, dark = 0, y = top;
  for (kinds(y, light, dark); light + dark == 0 && y < bottom; kinds(++y, light, dark)) {
  }
  EXPECT_GT(light, 0) << "row " << y;
  EXPECT_EQ(dark, 0) << "row " << y;
  y = bottom;
  for (kinds(y, light, dark); light + dark == 0 && y > top; kinds(--y, light, dark)) {
  }
  EXPECT_GT(dark, 0) << "row " << y;
  EXPECT_EQ(light, 0) << "row " << y;
}
