// The platform's comforts beside the game: the command line, the settings
// file, the pause on the headless twin and the game controller on SDL.
#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/Env.h"
#include "tests/Folder.h"
#include "tests/Pixels.h"
#include "app/Options.h"
#include "app/Settings.h"
#include "app/Shell.h"
#include "platform/Terminal.h"
#include "platform/sdl/SdlPlatform.h"
#include "tests/Play.h"

namespace fs = std::filesystem;

namespace {

bool Parse(std::vector<const char*> args, app::Options& o, std::string& error) {
  args.insert(args.begin(), "pikora");
  return app::ParseOptions(int(args.size()), args.data(), o, error);
}

TEST(Options, ReadsTheOptionsAndRefusesAnythingElse) {
  app::Options o;
  std::string error;
  ASSERT_TRUE(Parse({}, o, error));
  EXPECT_FALSE(o.fullscreen || o.seed || o.mute || o.help || o.version);
  ASSERT_TRUE(Parse({"--fullscreen", "--mute", "--seed", "000000000000000000000042", "--windowed"}, o, error));
  EXPECT_EQ(o.fullscreen, false) << "the last of --fullscreen and --windowed wins";
  EXPECT_TRUE(o.mute);
  EXPECT_EQ(o.seed, 42u);
  ASSERT_TRUE(Parse({"--seed=18446744073709551615", "--version", "--help"}, o, error));
  EXPECT_EQ(o.seed, 18446744073709551615u);
  EXPECT_TRUE(o.version && o.help);
  const std::string longest(40, 'x'), too_long(41, 'x');  // a language code's limit
  ASSERT_TRUE(Parse({"--lang", longest.c_str()}, o, error)) << error;
  EXPECT_EQ(o.lang, longest);

  for (std::vector<const char*> bad : std::vector<std::vector<const char*>>{
           {"--seed"}, {"--seed", "-1"}, {"--seed", "18446744073709551616"}, {"--seed", "0x10"},
           {"--seed="}, {"--seed", " 7"}, {"--fullscreen=1"}, {"-f"}, {"game"}, {"--lang", too_long.c_str()}}) {
    EXPECT_FALSE(Parse(bad, o, error)) << bad[0];
    EXPECT_NE(error, "");
  }
}

// Text from the player echoed on the terminal: no control character reaches
// it raw, and nothing longer than 200 characters.
TEST(Terminal, ControlCharactersAreEscapedAndLongTextCut) {
  struct Case {
    std::string text, shown;
  };
  const Case cases[] = {
      {"en_GB.UTF-8", "en_GB.UTF-8"},
      {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
      {"a\nb\tc\rd\x7f", "a\\x0ab\\x09c\\x0dd\\x7f"},
      {"日本語", "日本語"},
      {"\xc2\x9b" "2J", "\\xc2\\x9b2J"},            // a C1 control (CSI) in UTF-8
      {"\x9b" "2J", "\\x9b2J"},                        // and as a lone byte
      {"\xe6\x97", "\\xe6\\x97"},                    // a cut sequence
      {"\xc0\xaf", "\\xc0\\xaf"},                    // an overlong '/'
      {std::string(201, 'x'), std::string(200, 'x') + "…"},
      {std::string(200, 'x'), std::string(200, 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::Shown(c.text), c.shown);
  // As the options and the settings file say them.
  app::Options o;
  std::string error;
  const std::string flood = "--lang=" + std::string(10000, 'q'), escape = "--\x1b[2Jseed";
  for (const char* arg : {flood.c_str(), escape.c_str(), "--seed=\x1b[31m", "\x1b[2J"}) {
    EXPECT_FALSE(Parse({arg}, o, error));
    EXPECT_LT(error.size(), 300u) << error;
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
  }
  std::string why;
  app::Settings kept;
  app::ChooseLanguage(std::string(5000, 'z'), "", why);
  EXPECT_LT(why.size(), 400u);
  EXPECT_EQ(app::ParseSettings("volume = \x1b]2;x\x07\n", "settings", kept, why), app::SettingsRead::Malformed);
  EXPECT_EQ(why.find('\x1b'), std::string::npos) << why;
  EXPECT_NE(why.find("\\x1b]2;x\\x07"), std::string::npos) << why;
}

class TempDir : public pktest::InFolder {
 protected:
  void SetUp() override {
    InFolder::SetUp();
    path = (dir / "pikora" / "settings").string();
  }
  void Write(const std::string& text) {
    fs::create_directories(dir / "pikora");
    std::ofstream(path) << text;
  }
  std::string Read() { return Text(path); }
  std::string path;
};

using SettingsFile = TempDir;

TEST_F(SettingsFile, ABadLineIsIgnoredAndEveryGoodOneKept) {
  app::Settings s;
  std::string why;
  EXPECT_EQ(app::LoadSettings(path, s, why), app::SettingsRead::Missing);
  struct Row {
    std::string text;
    bool good;
    app::Settings want;
  };
  const app::Settings d;
  const Row rows[] = {
      {"volume = 11\n", false, d},
      {"volume = 000004\n", true, {false, 800, 600, 4, false, ""}},  // a number's longest spelling
      {"volume = 0000004\n", false, d},
      {"fullscreen = yes\nmute = 1\n", false, {false, 800, 600, 10, true, ""}},
      {"mute = 2\n", false, d},
      {"width = 1\nvolume = 3\n", false, {false, 800, 600, 3, false, ""}},  // what older versions could write
      {"width = 399\nheight = 299\n", false, d},
      {"width = 400\nheight = 300\n", true, {false, 400, 300, 10, false, ""}},
      {"width = 7680\nheight = 4320\n", true, {false, 7680, 4320, 10, false, ""}},
      {"width = 7681\nheight = 16384\nvolume = 2\n", false, {false, 800, 600, 2, false, ""}},
      {"volume = 3\nnonsense\n", false, {false, 800, 600, 3, false, ""}},
      {"mute = 1\nvolume =\n", false, {false, 800, 600, 10, true, ""}},
      {"language = en GB\nvolume = 4\n", false, {false, 800, 600, 4, false, ""}},
      {"language = en\n", true, {false, 800, 600, 10, false, "en"}},
      {"language = " + std::string(40, 'x') + "\n", true, {false, 800, 600, 10, false, std::string(40, 'x')}},
      {"language = " + std::string(41, 'x') + "\n", false, d},
      {"# by hand\n\n  volume=4  \nlater_option = what\n", true, {false, 800, 600, 4, false, ""}},
      {"\x01\x02\xff", false, d},
      {"volume = 4\n#" + std::string((64 << 10) - 13, 'x') + "\n", true, {false, 800, 600, 4, false, ""}},  // the largest read
  };
  for (const Row& r : rows) {
    Write(r.text);
    EXPECT_EQ(app::LoadSettings(path, s, why), r.good ? app::SettingsRead::Good : app::SettingsRead::Malformed) << r.text;
    EXPECT_EQ(s, r.want) << r.text;
    EXPECT_TRUE(r.good || why.find(" line ") != std::string::npos) << why;
  }
  Write("volume = 3\n\n# bad lines\nvolume = 12\nwidth = x\n" + std::string(41, 'z') + "\n");
  EXPECT_EQ(app::LoadSettings(path, s, why), app::SettingsRead::Malformed);
  EXPECT_NE(why.find(" line 4 (volume = 12), 5 (width = x), 6 (" + std::string(40, 'z') + "…) makes"), std::string::npos)
      << why;
  // Nothing there to read as settings: a folder, a named pipe (which must not
  // hold the game), a device without end, a file far too large, one a byte
  // too large.
  for (int kind = 0; kind <= 4; ++kind) {
    fs::remove_all(path);
    switch (kind) {
      case 0: fs::create_directories(path); break;
      case 1: ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); break;
      case 2: fs::create_symlink("/dev/zero", path); break;
      case 3: Write("volume = 3\n"), fs::resize_file(path, 200u << 20); break;
      default: Write("volume = 3\n"), fs::resize_file(path, (64u << 10) + 1); break;
    }
    s.volume = 7;
    EXPECT_EQ(app::LoadSettings(path, s, why), app::SettingsRead::Unreadable) << kind;
    EXPECT_EQ(s, app::Settings{}) << kind;
  }
  fs::remove(path);
  fs::create_directories(path);
  // A file where a folder should be, which even root cannot write under.
  std::ofstream(dir / "file") << "x";
  EXPECT_FALSE(app::SaveSettings((dir / "file" / "pikora" / "settings").string(), s, why));
  EXPECT_NE(why, "");
  EXPECT_FALSE(app::SaveSettings(path, s, why)) << "a folder in the file's place";
}

TEST_F(SettingsFile, WhatIsWrittenIsReadBackAndSavesNeverMeet) {
  // A window shrunk below its least size, a volume past the top: written as
  // the nearest the reader takes.
  app::Settings s{false, 1, 1, 11, true, ""}, back;
  std::string why;
  ASSERT_TRUE(app::SaveSettings(path, s, why)) << why;
  EXPECT_EQ(app::LoadSettings(path, back, why), app::SettingsRead::Good) << Read();
  EXPECT_EQ(back, (app::Settings{false, 400, 300, 10, true, ""}));

  // Two games saving at once, and a third reading meanwhile: every save
  // succeeds and the file is always whole.
  std::atomic<bool> done{false};
  std::atomic<int> failed{0}, torn{0};
  std::vector<std::thread> savers;
  for (int t = 0; t < 3; ++t)
    savers.emplace_back([&, t] {
      for (int k = 0; k < 150; ++k) {
        std::string w;
        failed += !app::SaveSettings(path, app::Settings{bool(k % 2), 800 + t, 600 + k, k % 11, false, ""}, w);
      }
    });
  std::thread reader([&] {
    while (!done) {
      app::Settings r;
      std::string w;
      torn += app::LoadSettings(path, r, w) != app::SettingsRead::Good;
    }
  });
  for (auto& t : savers) t.join();
  done = true;
  reader.join();
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(torn, 0);

  // What a save cut short left is swept up once it is surely no save in
  // progress; a fresh one (another game's, still writing) is not touched,
  // nor any old file that is no save's.
  const fs::path stale = dir / "pikora" / ".settings.tmp-1-0", fresh = dir / "pikora" / ".settings.tmp-2-0",
                 mine = dir / "pikora" / "notes";
  std::ofstream(stale) << "half";
  std::ofstream(fresh) << "half";
  std::ofstream(mine) << "the player's";
  for (const fs::path& old : {stale, mine, fs::path(path)})
    fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::seconds(65));
  app::SettingsFile keeper(path);  // as the game starts
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(mine) && fs::exists(path)) << "an old file that is no save's was swept";
  fs::remove(fresh);
  fs::remove(mine);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "pikora"), fs::directory_iterator{}), 1)
      << "a temporary file is left behind";
}

// A whole scripted game; each pause (game time, length) holds the clock, and
// keys and clicks during it must be dropped. Keys after a pause come that
// much later by the machine's clock.
struct Played {
  std::string record, sounds;
  uint64_t screen = 0;
  uint32_t lost = 0;
};
Played PlayScripted(const std::vector<std::pair<uint32_t, uint32_t>>& pauses) {
  pktest::Game g(7);
  auto raw = [&](uint32_t t) {
    uint32_t r = t;
    for (auto [at, len] : pauses) r += at < t ? len : 0;
    return r;
  };
  const int keys[] = {plat::kKeyRight, plat::kKeyUp, plat::kKeyRight, plat::kKeyLeft, plat::kKeyDown, 'A', plat::kKeyRight};
  for (uint32_t k = 0; k < 300; ++k) g.hp.KeyAt(raw(1500 + 613 * k), keys[k % 7]);
  for (auto [at, len] : pauses) {
    const uint32_t from = raw(at);
    g.hp.KeyAt(from, 'P');
    g.hp.KeyAt(from + len / 3, plat::kKeyLeft);
    g.hp.KeyAt(from + len / 3, plat::kKeyMinus);  // the volume may change meanwhile
    g.hp.ClickAt(from + len / 2, 400, 300);       // would quit the game
    g.hp.KeyAt(from + len, 'P');
  }
  g.f.Run();
  Played p{pktest::DumpRecord(g.f), "", pktest::Hash(g.f.Display(0)), g.hp.comfort.Lost()};
  for (const auto& l : g.hp.audio.log) p.sounds += l + '\n';
  return p;
}

TEST(Pause, APausedGamePlaysOnAsIfNeverPaused) {
  const Played plain = PlayScripted({});
  // During the logo, inside animations, while a request waits; short and long.
  const std::vector<std::pair<uint32_t, uint32_t>> pauses = {
      {300, 2}, {1234, 999}, {4321, 60000}, {20017, 700}, {61003, 3}, {90001, 3600000}, {150001, 1}};
  const Played paused = PlayScripted(pauses);
  EXPECT_EQ(paused.lost, 2u + 999 + 60000 + 700 + 3 + 3600000 + 1) << "a pause came after the end";
  EXPECT_EQ(paused.record, plain.record);
  EXPECT_EQ(paused.screen, plain.screen);
  EXPECT_EQ(paused.sounds, plain.sounds);

  // Quitting still quits while paused.
  pktest::Game g;
  g.hp.KeyAt(5000, 'P');
  g.hp.CloseAt(9000);
  g.hp.KeyAt(20000, 'P');
  g.f.Run();
  EXPECT_TRUE(g.f.Ended());
  EXPECT_FALSE(g.hp.comfort.Paused());
  EXPECT_EQ(g.hp.comfort.Lost(), 4000u);
}

// The overlay's bands beyond their words: where each lies, how large, how
// dark, and the volume's ten boxes, as many filled as heard.
TEST(Overlay, TheBandsLieWhereTheySay) {
  const plat::Color c = plat::Rgb(200, 100, 50), dim = plat::Rgb(100, 50, 25), dimmer = plat::Rgb(50, 25, 12);
  const plat::Color white = plat::Rgb(255, 255, 255);
  const plat::Surface game(800, 600, c);
  // The colour down the window's left and right edges, where no word reaches.
  auto edges = [](const plat::Surface& s) {
    std::vector<plat::Color> col;
    for (int y = 0; y < s.H(); ++y) col.push_back(s.At(0, y) == s.At(799, y) ? s.At(0, y) : 1);
    return col;
  };
  auto rows = [](std::vector<std::pair<int, plat::Color>> from) {  // from each row on, a colour
    std::vector<plat::Color> col;
    for (size_t i = 0; i < from.size(); ++i)
      col.resize(i + 1 < from.size() ? size_t(from[i + 1].first) : 600, from[i].second);
    return col;
  };
  plat::Surface out;
  plat::DrawOverlay(game, {true, -1, false, 0, false, ""}, out);  // paused: all dim, darker under the words
  EXPECT_EQ(edges(out), rows({{0, dim}, {225, dimmer}, {352, dim}}));
  plat::DrawOverlay(game, {false, -1, false, 0, true, "a.png"}, out);  // the note: a strip along the top
  EXPECT_EQ(edges(out), rows({{0, dim}, {26, c}}));
  for (int volume : {0, 3, 10}) {
    plat::OverlayView v{false, volume, volume == 0, 0, false, ""};
    plat::DrawOverlay(game, v, out);
    EXPECT_EQ(edges(out), rows({{0, c}, {490, dim}, {534, c}})) << volume;
    // The boxes end at the band's middle plus half their width.
    int last = 799;
    while (out.At(last, 504) != white) --last;
    for (int i = 0; i < 10; ++i) {
      const int x = last - 15 - (9 - i) * 20;
      EXPECT_EQ(out.At(x, 504), white) << "box " << i << " its border";
      EXPECT_EQ(out.At(x + 15, 519), white) << "box " << i << " its border";
      EXPECT_EQ(out.At(x + 8, 511), i < volume ? white : dim) << "box " << i << " at volume " << volume;
      EXPECT_EQ(out.At(x - 2, 511), dim) << "box " << i << " between the boxes";
    }
    EXPECT_EQ(out.At(last + 2, 511), dim);
  }
}

// The real platform on SDL's dummy video driver, its settings in a folder of
// the test's own.
class RealPlatform : public TempDir {
 protected:
  void SetUp() override {
    TempDir::SetUp();
    env.Set("XDG_CONFIG_HOME", dir.c_str());
    // The dummy driver's window never has the focus that pad events need.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  }
  static std::vector<int> Keys(plat::Platform& p) {
    std::vector<int> keys;
    for (plat::Event e; p.PollEvent(e);) keys.push_back(e.type == plat::Event::KeyDown ? e.key : -1);
    return keys;
  }
  pktest::Env env;
};

TEST_F(RealPlatform, PadButtonsAndStickAreTheGameKeys) {
  app::Shell shell({});
  plat::SdlPlatform p(shell.start, *shell.keeper);
  SDL_VirtualJoystickDesc d{};
  d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  d.naxes = SDL_CONTROLLER_AXIS_MAX;
  d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&d);  // plugged in during play
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* j = SDL_JoystickOpen(index);
  ASSERT_NE(j, nullptr);
  EXPECT_EQ(Keys(p), std::vector<int>{}) << "the pad is opened, nothing pressed";
  const std::pair<int, int> buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, plat::kKeyLeft},          {SDL_CONTROLLER_BUTTON_B, plat::kKeyRight},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, plat::kKeyLeft},  {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, plat::kKeyRight},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, plat::kKeyUp},      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, plat::kKeyDown},
      {SDL_CONTROLLER_BUTTON_BACK, plat::kKeyEscape}};
  for (auto [button, key] : buttons) {
    SDL_JoystickSetVirtualButton(j, button, 1);
    EXPECT_EQ(Keys(p), std::vector<int>{key}) << "button " << button;
    SDL_JoystickSetVirtualButton(j, button, 0);
    EXPECT_EQ(Keys(p), std::vector<int>{}) << "a release is no press";
  }
  SDL_JoystickSetVirtualButton(j, SDL_CONTROLLER_BUTTON_X, 1);
  EXPECT_EQ(Keys(p), std::vector<int>{}) << "a button without a meaning";
  // The left stick pushes once per lean, a tremble near the edge is no second push.
  for (auto [axis, value, keys] : std::vector<std::tuple<int, int, std::vector<int>>>{
           {SDL_CONTROLLER_AXIS_LEFTX, -30000, {plat::kKeyLeft}},
           {SDL_CONTROLLER_AXIS_LEFTX, -15000, {}},
           {SDL_CONTROLLER_AXIS_LEFTX, -30000, {}},
           {SDL_CONTROLLER_AXIS_LEFTX, 0, {}},
           {SDL_CONTROLLER_AXIS_LEFTX, 32767, {plat::kKeyRight}},
           {SDL_CONTROLLER_AXIS_LEFTY, 32767, {plat::kKeyDown}},
           {SDL_CONTROLLER_AXIS_RIGHTX, -32768, {}}}) {
    SDL_JoystickSetVirtualAxis(j, axis, int16_t(value));
    EXPECT_EQ(Keys(p), keys) << "axis " << axis << " at " << value;
  }
  SDL_JoystickClose(j);
  SDL_JoystickDetachVirtual(index);  // pulled out: no fault
  EXPECT_EQ(Keys(p), std::vector<int>{});
}

TEST_F(RealPlatform, AKeptSizeLargerThanTheScreenGivesAWindowThatFits) {
  Write("width = 7680\nheight = 4320\n");
  app::Shell shell({});
  plat::SdlPlatform p(shell.start, *shell.keeper);
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
  int w = 0, h = 0;
  for (Uint32 id = 1; id < 100 && !w; ++id)
    if (SDL_Window* win = SDL_GetWindowFromID(id)) SDL_GetWindowSize(win, &w, &h);
  EXPECT_GT(w, 0);
  EXPECT_LE(w, usable.w);
  EXPECT_LE(h, usable.h);
}

// Settings chosen with keys in the game, as the file then reads and as the
// next start takes them: each language, the volume at both ends, fullscreen
// and mute. A file of CR LF lines (a Windows editor's) is read as written and
// rewritten plain; a faulty one stays until the player changes a setting.
TEST_F(RealPlatform, SettingsChosenWithKeysAreWrittenAndReadBack) {
  env.Set("LC_ALL", "C");  // the game starts in Japanese unless the file says otherwise
  const std::string head = "# 有限会社☆ピコラ！ settings, rewritten when they change in the game\n";
  struct Row {
    std::string before;
    std::vector<SDL_Keycode> keys;
    std::string after;  // "": the file as it was
    app::Settings read;
  };
  const Row rows[] = {
      {"", {SDLK_m}, "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 10\nmute = 1\n", {false, 800, 600, 10, true, ""}},
      {"volume = 1\r\nmute = 1\r\n", {SDLK_MINUS, SDLK_MINUS},
       "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 0\nmute = 0\n", {false, 800, 600, 0, false, ""}},
      {"volume = 9\r\nmute = 1\r\n", {SDLK_EQUALS, SDLK_KP_PLUS},
       "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 10\nmute = 0\n", {false, 800, 600, 10, false, ""}},
      {"width = 640\r\nheight = 480\r\nlanguage = en\r\n", {SDLK_F11},
       "fullscreen = 1\nwidth = 640\nheight = 480\nvolume = 10\nmute = 0\nlanguage = en\n", {true, 640, 480, 10, false, "en"}},
      {"", {SDLK_p, SDLK_l, SDLK_p}, "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 10\nmute = 0\nlanguage = en\n",
       {false, 800, 600, 10, false, "en"}},
      {"language = en\r\n", {SDLK_p, SDLK_l, SDLK_p},
       "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 10\nmute = 0\nlanguage = ja\n", {false, 800, 600, 10, false, "ja"}},
      {"volume = loud\n", {}, "", {}},
      {"volume = loud\n", {SDLK_MINUS}, "fullscreen = 0\nwidth = 800\nheight = 600\nvolume = 9\nmute = 0\n", {false, 800, 600, 9, false, ""}},
  };
  for (const Row& r : rows) {
    fs::remove_all(dir / "pikora");
    if (!r.before.empty()) Write(r.before);
    {
      // The language as the game chooses it at its start.
      app::Settings kept;
      std::string ignored;
      app::ReadKept(kept, ignored);
      app::Shell shell({}, app::ChooseLanguage(std::nullopt, kept.language, ignored));
      plat::SdlPlatform p(shell.start, *shell.keeper);
      for (SDL_Keycode k : r.keys) {
        SDL_Event ev{};
        ev.type = SDL_KEYDOWN;
        ev.key.keysym.sym = k;
        SDL_PushEvent(&ev);
      }
      // None reaches the game; a new language is told to it, to draw again.
      EXPECT_EQ(Keys(p), std::vector<int>(r.keys.size() == 3 ? 1 : 0, -1)) << r.before;
    }
    EXPECT_EQ(Read(), r.after.empty() ? r.before : head + r.after) << r.before;
    app::Settings s;
    std::string why;
    if (!r.after.empty()) {
      EXPECT_EQ(app::LoadSettings(path, s, why), app::SettingsRead::Good) << why;
    }
    EXPECT_EQ(s, r.read) << r.before;
  }
}

}  // namespace
