// Staff turns, what each request needs, the memory of recent ideas, the
// answers and the staff panel.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/Harness.h"

using pktest::Game;

namespace {

// Request of each of the 23 rolls: 0 eggs, 1 feed, 2 train, 3 rest, 4 warm, 5 sell.
const char kRollTable[] = "00112223445505122454123";

// A record on which nobody can ask for anything: no money, an empty pen,
// everyone fresh. Tests switch on exactly what they need.
struct Staff : Game {
  explicit Staff(uint64_t seed = 1) : Game(seed) {
    f.HenSyoki();
    EmptyPen();
    f.Sikin = 0;
    f.Timer2.Interval(500);
    f.Jnow = 0;
  }
  void PutAt(int k, int stage) { f.PikoraSyu(k % 9, k / 9) = stage; }
  void Forget(int s) {
    for (int slot = 0; slot <= 5; ++slot) f.Jkioku(s, slot) = 6;
  }
  std::vector<int> Memory(int s) {
    std::vector<int> m;
    for (int slot = 0; slot <= 5; ++slot) m.push_back(int(f.Jkioku(s, slot)));
    return m;
  }
  // Whether idle employee s, with a clear memory, asks when the procedure runs.
  bool Asks(int s, void (pk::Form1::*proc)()) {
    f.Jnow = s, f.Mode = 0;
    Forget(s);
    (f.*proc)();
    const bool raised = f.Mode == 1;
    EXPECT_EQ(f.Timer2.Interval(), raised ? 0 : 500) << "the clock stops while a request waits";
    f.Jsigoto(s) = 6;
    f.Timer2.Interval(500);
    return raised;
  }
};

using Region = std::vector<plat::Color>;
Region Grab(const plat::Surface& s, int x, int y, int w, int h) {
  Region out;
  for (int yy = y; yy < std::min(y + h, s.H()); ++yy)  // the staff panel runs off the bottom
    for (int xx = x; xx < std::min(x + w, s.W()); ++xx) out.push_back(s.At(xx, yy));
  return out;
}

}  // namespace

// Each turn is checked against a twin game whose random numbers run in step:
// up to six rolls, the first idea that can be carried out is asked; below
// stamina 16 only a rest counts; every other idea is remembered, a rest never.
TEST(StaffTurn, UpToSixRollsByTheTableAndTheFirstPossibleIdeaIsAsked) {
  struct Case { bool possible; int stamina; };
  std::vector<int> rolled(23, 0);
  for (Case k : {Case{true, 16}, Case{false, 100}, Case{true, 15}}) {
    Staff g;
    Game twin;
    twin.f.HenSyoki();
    if (k.possible) g.f.Sikin = 100000, g.PutAt(0, 0), g.PutAt(1, 4);
    for (int turn = 0; turn < 200; ++turn) {
      g.f.Jsigoto(0) = 6, g.f.Mode = 0, g.f.Jtairyoku(0) = k.stamina;
      g.Forget(0);
      g.f.JKoudou();
      std::vector<int> memory(6, 6);
      int asked = 6, roll = 0;
      for (int t = 0; t < 6 && asked == 6; ++t) {
        roll = int(twin.f.Rnd() * 23);
        ++rolled[roll];
        const int c = kRollTable[roll] - '0';
        if (c == 3) {
          if (k.stamina < 80) asked = 3;
          continue;
        }
        if (k.stamina < 16) continue;
        memory.insert(memory.begin(), c);
        memory.erase(memory.begin() + 5);  // the sixth slot is never shifted into
        if (k.possible) asked = c;
      }
      ASSERT_EQ(g.f.Irai, asked != 6 ? 1 : 0) << "case " << k.stamina << " turn " << turn;
      ASSERT_EQ(g.f.Jsigoto(0), asked) << "roll " << roll;
      ASSERT_EQ(g.f.Ransu, roll);
      ASSERT_EQ(g.Memory(0), memory) << "turn " << turn;
    }
    EXPECT_EQ(g.Memory(1), std::vector<int>(6, 6)) << "only the asking employee remembers";
  }
  for (int r = 0; r < 23; ++r) EXPECT_GT(rolled[r], 0) << "roll " << r << " never came";
}

TEST(StaffTurn, ComesOnEverySecondTickFromTheFirst) {
  Game g;
  g.f.HenSyoki();
  g.f.Sikin = 1000000, g.f.Jikan = 30000;  // with money, eggs and adults nearly every roll asks
  g.f.Timer2.Interval(500);
  int requests = 0;
  for (int tick = 1; tick <= 400; ++tick) {
    g.f.Timer2_Timer();
    if (tick == 1) {
      EXPECT_EQ(g.f.Mode, 1) << "the first tick gives an idle employee a turn";
    }
    if (g.f.Mode != 1) continue;
    ASSERT_EQ(tick % 2, 1) << "a request on tick " << tick;
    g.f.Display_KeyDown(++requests % 2 ? plat::kKeyLeft : plat::kKeyRight);
  }
  EXPECT_GT(requests, 50);
}

TEST(Requests, EachIsAskedOnlyWhenItCanBeCarriedOut) {
  const int eggPrice[4] = {100, 120, 80, 150}, feedPrice[4] = {30, 40, 20, 50};
  Staff g;
  for (int s = 0; s <= 3; ++s)
    for (int d : {-1, 0}) {  // exactly the price of one is enough
      g.f.Sikin = eggPrice[s] + d;
      EXPECT_EQ(g.Asks(s, &pk::Form1::TamagoKau), d == 0) << "eggs, employee " << s;
      g.f.Sikin = feedPrice[s] + d;
      EXPECT_EQ(g.Asks(s, &pk::Form1::EsaKau), d == 0) << "feed, employee " << s;
    }
  for (int stamina : {80, 79}) {
    g.f.Jtairyoku(0) = stamina;
    EXPECT_EQ(g.Asks(0, &pk::Form1::Yasumi), stamina < 80);
  }

  // Every cell holds a young one: the count guards the eggs, not the cells
  // (the always-empty cell outside the pen lets the request through).
  g.f.Sikin = 100000;
  for (int k = 0; k <= 125; ++k) g.PutAt(k, 1 + k % 3);
  g.f.PikoraKazu = 104;
  EXPECT_TRUE(g.Asks(0, &pk::Form1::TamagoKau));
  g.f.PikoraKazu = 105;
  EXPECT_FALSE(g.Asks(0, &pk::Form1::TamagoKau));
  for (auto proc : {&pk::Form1::Atatame, &pk::Form1::Kitaeru, &pk::Form1::Uru}) EXPECT_FALSE(g.Asks(0, proc));

  // The back cells 105..125 are seen only by a sale.
  for (int k = 105; k <= 124; ++k) g.PutAt(k, 0);
  g.PutAt(125, 4);
  EXPECT_FALSE(g.Asks(0, &pk::Form1::Atatame));
  EXPECT_FALSE(g.Asks(0, &pk::Form1::Kitaeru));
  EXPECT_TRUE(g.Asks(0, &pk::Form1::Uru));
  g.f.Jsigoto(3) = 5;
  EXPECT_FALSE(g.Asks(0, &pk::Form1::Uru)) << "one seller at a time";
  g.f.Jsigoto(3) = 2;
  g.PutAt(104, 0), g.PutAt(103, 4);
  for (auto proc : {&pk::Form1::Atatame, &pk::Form1::Kitaeru, &pk::Form1::Uru}) EXPECT_TRUE(g.Asks(0, proc));
}

TEST(Requests, AnIdeaAmongTheLastFourIsBlockedUntilAPermitClearsTheMemory) {
  Staff g;
  g.f.Jtairyoku(0) = 79;
  g.f.Jkioku(0, 1) = 3;
  g.f.Yasumi();
  EXPECT_EQ(g.f.Mode, 1) << "a rest is never blocked nor remembered";
  EXPECT_EQ(g.Memory(0), (std::vector<int>{6, 3, 6, 6, 6, 6}));
  g.f.Jsigoto(0) = 6, g.f.Mode = 0;
  g.Forget(0);

  g.f.Atatame();  // no egg: not asked, but remembered
  g.PutAt(0, 0);
  g.f.Atatame();  // now possible, yet just thought of
  EXPECT_EQ(g.f.Mode, 0);
  EXPECT_EQ(g.Memory(0), (std::vector<int>{4, 4, 6, 6, 6, 6}));
  g.Forget(0);
  g.f.Jkioku(0, 5) = 4;  // the sixth slot is never looked at
  g.f.Atatame();
  ASSERT_EQ(g.f.Mode, 1);
  g.f.Display_KeyDown(plat::kKeyRight);
  EXPECT_EQ(g.Memory(0), (std::vector<int>{4, 6, 6, 6, 6, 4})) << "a refusal keeps the memory";
  for (int others : {3, 4}) {
    for (int k = 0; k < others; ++k) g.f.EsaKau();  // no money: only remembered
    g.f.Atatame();
    EXPECT_EQ(g.f.Mode, others == 4 ? 1 : 0) << others << " other thoughts";
  }
  g.f.Display_KeyDown(plat::kKeyLeft);
  EXPECT_EQ(g.Memory(0), std::vector<int>(6, 6));
  g.f.Jsigoto(0) = 6;  // back from the job
  g.f.Atatame();
  EXPECT_EQ(g.f.Mode, 1) << "a permitted idea may come again at once";
}

TEST(Answers, APermitSetsTheJobLengthAndAmountARefusalCosts35UnlessARest) {
  const int rest[4] = {40, 30, 80, 40};
  const int length[6] = {15, 12, 20, -1, 20, 30};
  for (int s = 0; s <= 3; ++s)
    for (int c = 0; c <= 5; ++c) {
      Staff g;
      g.f.Jnow = s, g.f.Jsigoto(s) = c, g.f.KaimonoKazu = 3;
      g.f.Kyoka();
      EXPECT_EQ(g.f.Jkikan(s), c == 3 ? rest[s] : length[c]) << "employee " << s << " job " << c;
      EXPECT_EQ(g.f.Jnouryoku(s, 0, 0), c == 0 ? 30 : 0);
      EXPECT_EQ(g.f.Jnouryoku(s, 1, 0), c == 1 ? 30 : 0);
      g.f.Jsigoto(s) = c;
      g.f.Dame();
      EXPECT_EQ(g.f.Jikan, c == 3 ? 4009 : 4009 - 35) << "job " << c;
      EXPECT_EQ(g.f.Jsigoto(s), 6);
    }
}

TEST(Answers, EachSaysItsOwnLineThenTheFaceSinksOrStaysAfterAReturn) {
  struct Case { int s, job; void (pk::Form1::*answer)(); const char* line; };
  for (Case k : {Case{2, 1, &pk::Form1::Kyoka, "んじゃ、いってくる…"}, Case{3, 4, &pk::Form1::Dame, "ダメですかい…"},
                 Case{1, 6, &pk::Form1::Tadaima, "戻りました"}}) {
    Game ref;
    ref.f.HenSyoki();
    const std::string lines[5] = {k.line, "", "", "", ""};
    ref.f.WriteMessage(lines);
    Staff g;
    g.f.Jnow = k.s, g.f.Jsigoto(k.s) = k.job;
    g.hp.audio.log.clear();
    (g.f.*k.answer)();
    const bool back = k.answer == &pk::Form1::Tadaima;
    EXPECT_EQ(Grab(g.f.Display(back ? 0 : 1), 170, 250, 180, 120), Grab(ref.f.Display(1), 170, 250, 180, 120)) << k.line;
    const Region face = Grab(g.f.Display(0), 64, 256, 96, 96);
    EXPECT_EQ(face, back ? Grab(g.f.Face(k.s), 0, 0, 96, 96) : Grab(g.f.Display(2), 64, 256, 96, 96)) << k.line;
    EXPECT_EQ(g.hp.audio.Effects(), back ? std::vector<int>{1} : std::vector<int>{}) << k.line;
  }
}

TEST(StaffPanel, NameStaminaAndJobStandInRaisedTextInTheirColumns) {
  Staff g;
  plat::Surface& v = g.f.Display(0);
  v.Fill(plat::Rgb(1, 2, 3));
  g.f.Jsigoto(0) = 2;  // training: the row to compare with
  g.f.MakeJnow();
  for (auto [x, y] : {std::pair{69, 400}, {370, 400}, {70, 399}})
    EXPECT_EQ(v.At(x, y), plat::Rgb(1, 2, 3)) << "outside the panel " << x << "," << y;
  auto label = [&](int s) { return Grab(v, 210, 410 + 30 * s, 150, 30); };
  EXPECT_NE(label(0), label(3));
  g.PutAt(0, 4);
  g.f.Jnow = 3;
  g.f.Kitaeru();
  ASSERT_EQ(g.f.Mode, 1);
  EXPECT_EQ(label(3), label(1)) << "an unanswered request leaves the panel as it was";
  g.f.Display_KeyDown(plat::kKeyLeft);
  EXPECT_EQ(label(3), label(0));

  // A changed value redraws only its own cell, starting at its column.
  // (A number is printed after a blank for its sign.)
  struct Cell { std::function<void()> change; int x0, y0, x1, y1, first; };
  for (const Cell& k : {Cell{[&] { g.f.Jtairyoku(1) = 7; }, 145, 440, 209, 470, 158},
                        Cell{[&] { g.f.Jsigoto(2) = 5; }, 210, 470, 369, 500, 213},
                        Cell{[&] { g.f.Jname(3) = "テスト"; }, 70, 500, 144, 530, 73}}) {
    const plat::Surface before = v;
    k.change();
    g.f.MakeJnow();
    int x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
    for (int y = 0; y < v.H(); ++y)
      for (int x = 0; x < v.W(); ++x)
        if (v.At(x, y) != before.At(x, y))
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    EXPECT_TRUE(x0 >= k.x0 && y0 >= k.y0 && x1 <= k.x1 && y1 <= k.y1 && x0 <= k.first)
        << x0 << " " << y0 << " " << x1 << " " << y1;
  }

  // Raised text: the dark copy lies a pixel right of and below the light one,
  // so a name's top ink row is light (150, 120, 90) and its bottom row dark (115, 65, 77).
  std::vector<double> greenPerRed;
  for (int y = 405; y < 440; ++y) {
    double r = 0, gr = 0;
    for (int x = 70; x < 145; ++x) r += (v.At(x, y) >> 16) & 255, gr += (v.At(x, y) >> 8) & 255;
    if (r > 0) greenPerRed.push_back(gr / r);
  }
  ASSERT_GT(greenPerRed.size(), 5u);
  EXPECT_GT(greenPerRed.front(), 0.7);
  EXPECT_LT(greenPerRed.back(), 0.7);
}
