// The desktop game's own pictures for the browser test, made by the headless
// twin for one seed, as PNGs of the 768 x 576 surface (transparent where the
// page is free to differ):
//   logo.png  the logo's square while the logo stands;
//   play.png  the play screen, keeping only the pixels that stay as they are
//             through the first 20 seconds of play with no key pressed: the
//             frames, the panels' grounds and labels;
//   asked.png the message window once the first request waits for an answer;
//   next.png  the status, staff and message panels once that request is
//             permitted (the left arrow) and the next one waits: where a
//             game closed then stands when it is continued.
//   pikora_web_reference SEED OUTDIR [LANGUAGE]
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Form.h"
#include "platform/headless/Headless.h"

namespace {

constexpr int kLogoX = 352, kLogoY = 256, kLogoSide = 64;  // where the intro puts the logo
constexpr int kMsgX = 170, kMsgY = 250, kMsgW = 180, kMsgH = 120;  // the message window
constexpr uint32_t kWatchMs = 20000;
// The panels the game draws anew as it goes: [left, top, right, bottom).
constexpr int kPanels[3][4] = {{36, 38, 219, 218}, {70, 400, 370, 576}, {kMsgX, kMsgY, kMsgX + kMsgW, kMsgY + kMsgH}};

// The twin, looking at every picture it is asked to show.
struct Watching : plat::Headless {
  using Headless::Headless;
  void Present() override {
    Headless::Present();
    const plat::Surface& s = Display(0);
    if (!haveLogo) {
      for (int y = kLogoY; y < kLogoY + kLogoSide && !haveLogo; ++y)
        for (int x = kLogoX; x < kLogoX + kLogoSide; ++x)
          if (s.At(x, y) != 0) haveLogo = true;
      if (haveLogo) logo = s;
      return;
    }
    if (playing && Ticks() - playSince <= kWatchMs)
      for (size_t i = 0; i < still.size(); ++i) still[i] = still[i] && s.Pixels()[i] == play.Pixels()[i];
  }
  // The intro is over: the play screen stands.
  void PlayBegins() {
    playing = true;
    playSince = Ticks();
    play = Display(0);
    still.assign(play.Pixels().size(), true);
  }
  bool haveLogo = false;
  plat::Surface logo, play;
  bool playing = false;
  uint32_t playSince = 0;
  std::vector<bool> still;
};

// keep(x, y): the pixel is part of the reference.
template <class Keep>
bool Save(const plat::Surface& s, Keep keep, const std::string& path) {
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s.W(), s.H(), 32, SDL_PIXELFORMAT_ARGB8888);
  if (!out) return false;
  for (int y = 0; y < s.H(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) + size_t(y) * out->pitch);
    for (int x = 0; x < s.W(); ++x) row[x] = keep(x, y) ? 0xFF000000u | s.At(x, y) : 0;
  }
  const bool ok = IMG_SavePNG(out, path.c_str()) == 0;
  SDL_FreeSurface(out);
  return ok;
}

// The same game again, its first request permitted: the picture once the
// next request waits (empty if none comes in time).
plat::Surface NextRequest(uint64_t seed, const char* language) {
  plat::Headless hp(seed);
  if (language) hp.Speak(language);
  pk::Form1 f(hp);
  f.Form_Load();
  bool keyed = false, answered = false;
  while (hp.Ticks() <= 2 * kWatchMs && f.Step()) {
    if (!keyed && f.Mode == pk::kAsking) {
      hp.Key(plat::kKeyLeft);
      keyed = true;
    }
    answered = answered || (keyed && f.Mode != pk::kAsking);
    if (answered && f.Mode == pk::kAsking) return hp.Display(0);
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: pikora_web_reference SEED OUTDIR [LANGUAGE]\n");
    return 2;
  }
  Watching hp(std::strtoull(argv[1], nullptr, 10));
  if (argc == 4 && !hp.Speak(argv[3])) {
    std::fprintf(stderr, "pikora_web_reference: no language %s\n", argv[3]);
    return 2;
  }
  pk::Form1 f(hp);
  f.Form_Load();
  while (f.Timer1.Interval() != 0 && f.Step()) {
  }
  hp.PlayBegins();
  plat::Surface asked;
  while (hp.Ticks() - hp.playSince <= kWatchMs && f.Step())
    if (asked.W() == 0 && f.Mode == pk::kAsking) asked = hp.Display(0);
  const plat::Surface next = NextRequest(hp.Seed(), argc == 4 ? argv[3] : nullptr);
  if (asked.W() == 0 || next.W() == 0) {
    std::fprintf(stderr, "pikora_web_reference: no request came, or no second one\n");
    return 1;
  }
  if (!hp.haveLogo) {
    std::fprintf(stderr, "pikora_web_reference: the logo never showed\n");
    return 1;
  }
  const std::string dir = argv[2];
  std::filesystem::create_directories(dir);
  size_t kept = 0;
  for (bool b : hp.still) kept += b;
  const int w = hp.play.W();
  const bool ok =
      Save(hp.logo, [](int x, int y) { return x >= kLogoX && x < kLogoX + kLogoSide && y >= kLogoY && y < kLogoY + kLogoSide; },
           dir + "/logo.png") &&
      Save(hp.play, [&](int x, int y) { return bool(hp.still[size_t(y) * w + x]); }, dir + "/play.png") &&
      Save(asked, [](int x, int y) { return x >= kMsgX && x < kMsgX + kMsgW && y >= kMsgY && y < kMsgY + kMsgH; },
           dir + "/asked.png") &&
      Save(next, [](int x, int y) {
        for (const auto& p : kPanels)
          if (x >= p[0] && x < p[2] && y >= p[1] && y < p[3]) return true;
        return false;
      }, dir + "/next.png");
  if (!ok) {
    std::fprintf(stderr, "pikora_web_reference: cannot write into %s\n", dir.c_str());
    return 1;
  }
  std::printf("pikora_web_reference: seed %s, %zu still pixels of %zu on the play screen\n", argv[1], kept, hp.still.size());
  return 0;
}
