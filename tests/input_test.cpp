// The player's keys and the click, in each mode, and how the real window
// turns key presses into them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/SdlPlatform.h"
#include "tests/Harness.h"

using pktest::Game;

namespace {

// Employee 0 has just asked to buy eggs, the only request the record allows.
struct Asking : Game {
  Asking() {
    f.HenSyoki();
    EmptyPen();
    f.Timer2.Interval(500);
    f.Jnow = 0, f.Jkeika(0) = 7;
    f.TamagoKau();
    EXPECT_EQ(f.Mode, 1);
    hp.audio.log.clear();
  }
};

}  // namespace

// The amount stops silently at 1 and 5; the permit takes the amount of its moment.
TEST(Keys, UpAndDownWhileAskingSetTheAmountOfTheTripAndLeftOrRightAnswers) {
  Asking g;
  for (int key : {plat::kKeyDown, plat::kKeyUp, plat::kKeyUp, plat::kKeyUp, plat::kKeyDown}) g.f.Display_KeyDown(key);
  EXPECT_EQ(g.f.Mode, 1) << "the amount keys do not answer";
  g.f.Display_KeyDown(plat::kKeyLeft);
  EXPECT_EQ(g.f.Jnouryoku(0, 0, 0), 30);
  EXPECT_EQ(g.f.Jkeika(0), 0) << "a permit starts the job afresh";
  EXPECT_EQ(g.f.Timer2.Interval(), 500);
  for (int k = 0; k < 3; ++k) g.f.Display_KeyDown(plat::kKeyUp);
  EXPECT_EQ(g.f.KaimonoKazu, 5);
  EXPECT_EQ(g.f.Jnouryoku(0, 0, 0), 30) << "a trip under way keeps its amount";
  EXPECT_EQ(g.hp.audio.Effects(), (std::vector<int>{10, 10, 10, 10, 3, 10, 10}));

  Asking r;
  r.f.Display_KeyDown(plat::kKeyRight);
  EXPECT_EQ(r.f.Jsigoto(0), 6);
  EXPECT_EQ(r.f.Jikan, 4009 - 35);
  EXPECT_EQ(r.f.Jkeika(0), 7) << "a refusal keeps the elapsed count";
  EXPECT_EQ(r.f.Timer2.Interval(), 500);
  EXPECT_EQ(r.hp.audio.Effects(), std::vector<int>{2});
}

TEST(Keys, OnlyWhileAskingDoesEveryKeyCheckTheMusicAndOnlyThenDoLeftAndRightAnswer) {
  Game g;
  g.f.HenSyoki();
  g.f.Jsigoto(1) = 4, g.f.Jkikan(1) = 20, g.f.Jnow = 1;  // someone at work must stay at work
  g.f.OpenM(1);
  g.f.PlayM(0);
  for (int key : {int(plat::kKeyLeft), int(plat::kKeyRight), int('A'), int(plat::kKeyUp), int(plat::kKeyDown)}) g.f.Display_KeyDown(key);
  EXPECT_EQ(g.hp.audio.modeQueries, 0);
  EXPECT_EQ(g.f.Jsigoto(1), 4);
  EXPECT_EQ(g.f.Jikan, 4009);
  EXPECT_EQ(g.f.Mode, 0);

  Asking a;
  a.f.OpenM(1);
  a.f.PlayM(0);
  a.hp.audio.EndPiece();
  a.hp.audio.log.clear();
  a.f.Display_KeyDown('A');  // ignored, but the finished tune starts again
  EXPECT_EQ(a.hp.audio.modeQueries, 1);
  EXPECT_EQ(a.hp.audio.log, (std::vector<std::string>{"rewind", "play"}));
  EXPECT_EQ(a.f.Mode, 1);
  for (int key : {plat::kKeyUp, plat::kKeyDown, plat::kKeyLeft, plat::kKeyUp}) a.f.Display_KeyDown(key);
  EXPECT_EQ(a.hp.audio.modeQueries, 4) << "the Up after the answer is back in play";
}

TEST(Keys, KeysDuringThePermitAnimationComeAfterItAndASecondLeftAnswersNothing) {
  Asking g;
  const uint32_t t0 = g.hp.Ticks();
  g.hp.KeyAt(t0, plat::kKeyLeft);
  g.hp.KeyAt(t0 + 50, plat::kKeyUp);     // while the face sinks
  g.hp.KeyAt(t0 + 100, plat::kKeyLeft);  // a second answer to the same request
  ASSERT_TRUE(g.f.Step());
  EXPECT_GT(uint32_t(g.hp.Ticks() - t0), 100u) << "the face sinks for ten steps of 30 ms";
  EXPECT_EQ(g.hp.Pending(), 2u) << "no key is taken during the animation";
  g.f.Step();
  g.f.Step();
  EXPECT_EQ(g.f.KaimonoKazu, 2);
  EXPECT_EQ(g.f.Jsigoto(0), 0);
  EXPECT_EQ(g.f.Jnouryoku(0, 0, 0), 10) << "the late Up does not change the trip";
  EXPECT_EQ(g.hp.audio.Effects(), (std::vector<int>{3, 10}));
  EXPECT_EQ(g.f.Jikan, 4009);
}

TEST(Keys, EscapeAndClickQuitQuietlyBankruptcyEndsOnAnyKeyAndTheRollOnItsTenthPage) {
  const std::vector<std::string> quiet{"silence", "stop", "close"};
  for (int kind = 0; kind < 3; ++kind) {  // Escape in play, Escape while asking, a click
    Asking g;
    if (kind == 0) g.f.Mode = 0;
    EXPECT_TRUE(g.Ends([&] { kind < 2 ? g.f.Display_KeyDown(plat::kKeyEscape) : g.f.Display_Click(); }));
    EXPECT_EQ(g.hp.audio.log, quiet) << kind;
  }

  Game broke;
  broke.f.HenSyoki();
  broke.f.Mode = 2;
  EXPECT_TRUE(broke.Ends([&] { broke.f.Display_KeyDown('A'); }));
  EXPECT_EQ(broke.hp.audio.log, std::vector<std::string>{"silence"});

  Game roll;
  roll.f.HenSyoki();
  roll.f.Mode = 3, roll.f.EDpage = 0;
  for (int page = 1; page <= 9; ++page) {
    EXPECT_FALSE(roll.Ends([&] { roll.f.Display_KeyDown(page % 2 ? int(plat::kKeyEscape) : int('Z')); }));
    EXPECT_EQ(roll.f.EDpage, page);
  }
  EXPECT_TRUE(roll.Ends([&] { roll.f.Display_KeyDown(plat::kKeyLeft); }));
  const auto fx = roll.hp.audio.Effects();
  EXPECT_EQ(std::count(fx.begin(), fx.end(), 3), 10) << "one page-turn sound per key";
}

TEST(SdlKeys, ArrowsKeypadArrowsAndEscapeAndRepeatsArrive) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  plat::SdlPlatform p;
  ASSERT_TRUE(p.Ok());
  plat::Event e;
  while (p.PollEvent(e)) {
  }
  struct Press { SDL_Scancode sc; SDL_Keycode sym; int repeat; int want; };
  const Press presses[] = {
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, plat::kKeyEscape},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 0, plat::kKeyLeft},
      {SDL_SCANCODE_UP, SDLK_UP, 0, plat::kKeyUp},
      {SDL_SCANCODE_UP, SDLK_UP, 1, plat::kKeyUp},  // held down
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, plat::kKeyRight},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 0, plat::kKeyDown},
      {SDL_SCANCODE_KP_8, SDLK_KP_8, 0, plat::kKeyUp},
      {SDL_SCANCODE_KP_6, SDLK_KP_6, 0, plat::kKeyRight},
      {SDL_SCANCODE_KP_2, SDLK_KP_2, 1, plat::kKeyDown},
      {SDL_SCANCODE_KP_4, SDLK_LEFT, 0, plat::kKeyLeft},  // keypad named by Num Lock off
  };
  for (const Press& k : presses) {
    SDL_Event ev{};
    ev.type = SDL_KEYDOWN, ev.key.state = SDL_PRESSED, ev.key.repeat = Uint8(k.repeat);
    ev.key.keysym.scancode = k.sc, ev.key.keysym.sym = k.sym;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
  }
  for (const Press& k : presses) {
    ASSERT_TRUE(p.PollEvent(e));
    EXPECT_EQ(e.type, plat::Event::KeyDown);
    EXPECT_EQ(e.key, k.want) << SDL_GetScancodeName(k.sc);
  }
  EXPECT_FALSE(p.PollEvent(e));
}
