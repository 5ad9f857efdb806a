// Leaving the game, and how the real window turns key presses into the
// game's keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/Shell.h"
#include "platform/sdl/SdlPlatform.h"
#include "tests/Harness.h"

using pktest::Game;

TEST(Keys, EscapeAndClickQuitQuietlyBankruptcyEndsOnAnyKeyAndTheRollOnItsTenthPage) {
  const std::vector<std::string> quiet{"silence", "stop", "close"};
  for (int kind = 0; kind < 3; ++kind) {  // Escape in play, Escape while asking, a click
    Game g;
    g.f.HenSyoki();
    g.f.Mode = kind == 1;
    EXPECT_TRUE(g.Ends([&] { kind < 2 ? g.f.Display_KeyDown(plat::kKeyEscape) : g.f.Display_Click(); }));
    EXPECT_EQ(g.hp.audio.log, quiet) << kind;
  }

  // A click in the black margin is no click on the play area, which runs
  // from (16, 12) to (783, 587).
  struct Click { int x, y; bool quits; };
  for (const Click& k : {Click{15, 300, false}, Click{16, 12, true}, Click{400, 11, false}, Click{783, 587, true},
                         Click{784, 300, false}, Click{400, 588, false}}) {
    Game c;
    c.f.HenSyoki();
    c.hp.ClickAt(0, k.x, k.y);
    c.f.Step();
    EXPECT_EQ(c.f.Ended(), k.quits) << k.x << "," << k.y;
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
  app::Shell shell({});
  plat::SdlPlatform p(shell.start, *shell.keeper);
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

// The close button and SIGTERM are no game keys: a wait gives way to them at
// once, while keys pressed during it are taken after it. The handler in hand
// runs to its end unseen and unheard, in virtual time, and the close is the
// game's next input, at a point a replay reaches again.
TEST(Closing, TheWindowClosedOrSigtermDuringTheIntroEndsTheProgramAtOnce) {
  for (bool close : {false, true}) {
    Game g;
    if (close) g.hp.CloseAt(500);
    else g.hp.KeyAt(500, plat::kKeyEscape);
    EXPECT_EQ(g.f.Run(), 0) << "the exit status";
    ASSERT_TRUE(g.f.Ended());
    EXPECT_GE(g.hp.Ticks(), 4000u) << "the intro ends before the quit is taken: " << close;
    EXPECT_EQ(g.hp.Point(), 1u) << "the intro's one fire, and no main tick";
    const auto& log = g.hp.audio.log;
    // Closed, the music the intro opens after the title is never heard.
    const std::vector<std::string> quiet = {"silence", "stop", "close"};
    const std::vector<std::string> heard = {"open /opt/pikora/bg/bg1.mid", "play", "silence", "stop", "close"};
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - (close ? 3 : 5), log.end()), close ? quiet : heard) << close;
    if (close) {
      EXPECT_EQ(log.size(), 3u) << log.front();
    }
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (bool signal : {false, true}) {
    app::Shell shell({});
    plat::SdlPlatform p(shell.start, *shell.keeper);
    std::thread later([signal] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      SDL_Event ev{};
      ev.type = SDL_QUIT;
      if (signal) kill(getpid(), SIGTERM);  // SDL turns it into a quit
      else SDL_PushEvent(&ev);
    });
    const auto begun = std::chrono::steady_clock::now();
    const uint32_t from = p.Ticks();
    for (int k = 0; k < 300; ++k) p.Sleep(10);
    later.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(1)) << signal;
    EXPECT_GE(p.Ticks() - from, 3000u) << "the game's clock ran through the rest of the waits: " << signal;
    plat::Event e;
    ASSERT_TRUE(p.PollEvent(e));
    EXPECT_EQ(e.type, plat::Event::Close);
  }
}
