#include "app/Options.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/Terminal.h"
#include "screen/Look.h"
#include "platform/Languages.h"

namespace app {
namespace {

// Decimal digits only: strtoull would take a sign, spaces and hex.
bool ParseSeed(const std::string& s, uint64_t& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  out = v;
  return true;
}

// Whether argument i is the option `name`, given as "NAME VALUE" or
// "NAME=VALUE"; then its value, none when the option is the last argument.
bool Given(const char* name, int argc, const char* const* argv, int& i, std::optional<std::string>& value) {
  const std::string a = argv[i], n = name;
  value.reset();
  if (a == n) {
    if (i + 1 < argc) value = argv[++i];
    return true;
  }
  if (a.starts_with(n + "=")) {
    value = a.substr(n.size() + 1);
    return true;
  }
  return false;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
  out = Options{};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help") out.help = true;
    else if (a == "--version") out.version = true;
    else if (a == "--fullscreen") out.fullscreen = true;
    else if (a == "--windowed") out.fullscreen = false;
    else if (a == "--mute") out.mute = true;
    else if (a == "--force") out.force = true;
    else if (a == "--continue") out.resume = true;
    else if (std::optional<std::string> v; Given("--seed", argc, argv, i, v)) {
      if (!v) return error = "--seed needs a number", false;
      uint64_t seed = 0;
      if (!ParseSeed(*v, seed)) return error = "--seed takes a whole number from 0 to 18446744073709551615, not '" + plat::Shown(*v) + "'", false;
      out.seed = seed;
    } else if (Given("--lang", argc, argv, i, v)) {
      if (!v) return error = "--lang needs a language code, such as ja or en", false;
      if (v->empty() || v->size() > 40 ||
          v->find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.@-") != std::string::npos)
        return error = "--lang takes a language code, such as ja or en, not '" + plat::Shown(*v) + "'", false;
      out.lang = *v;
    } else if (const char* name = Given("--record", argc, argv, i, v)   ? "--record"
                                  : Given("--replay", argc, argv, i, v) ? "--replay"
                                  : Given("--verify", argc, argv, i, v) ? "--verify"
                                                                        : nullptr) {
      if (!v || v->empty()) return error = std::string(name) + " needs a file", false;
      std::string& slot = name == std::string("--record") ? out.record : name == std::string("--replay") ? out.replay : out.verify;
      if (!slot.empty()) return error = std::string(name) + " is given twice", false;
      slot = *v;
    } else if (a.starts_with("-")) {
      return error = "unknown option '" + plat::Shown(a) + "'", false;
    } else {
      return error = "unexpected argument '" + plat::Shown(a) + "'", false;
    }
  }
  if (int(!out.record.empty()) + int(!out.replay.empty()) + int(!out.verify.empty()) > 1)
    return error = "--record, --replay and --verify go one at a time", false;
  if (out.force && out.record.empty()) return error = "--force goes only with --record", false;
  if (out.resume && (!out.record.empty() || !out.replay.empty() || !out.verify.empty() || out.seed || out.lang))
    return error = "--continue goes with none of --record, --replay, --verify, --seed and --lang: the game goes on as it was", false;
  const std::string played = !out.replay.empty() ? "--replay" : !out.verify.empty() ? "--verify" : "";
  if (out.seed && !played.empty()) return error = "--seed cannot go with " + played + ": a replay plays its own seed", false;
  if (out.lang && !played.empty())
    return error = "--lang cannot go with " + played + ": a replay speaks the languages it was recorded in", false;
  return true;
}

std::string Usage(const plat::Catalogue& words) {
  // TRANSLATORS: the text of --help, lines of at most 79 columns. %1$s is the
  // game's title, %2$s the codes of its languages ("ja en").
  std::string text(words.Get("console", NC_("console",
      "Usage: pikora [OPTION]...\n"
      "%1$s: run a little creature-breeding company while the owner is away.\n"
      "\n"
      "Options:\n"
      "  --fullscreen   start in fullscreen\n"
      "  --windowed     start in a window\n"
      "  --mute         start with the sound muted\n"
      "  --seed N       play the game of seed N (a whole number): the same seed\n"
      "                 gives the same random numbers, to share or replay a game\n"
      "  --lang CODE    play in the language CODE: %2$s\n"
      "  --continue     continue the last game that was stopped, where it stopped\n"
      "                 (status 2 when there is none)\n"
      "  --record FILE  play, and write the game into FILE as it goes (a replay);\n"
      "                 FILE must be new, unless --force is given too\n"
      "  --replay FILE  show the game recorded in FILE in the window: Right and Left\n"
      "                 double and halve its speed, End shows its last picture; the\n"
      "                 other keys do nothing but quit, pause, volume and fullscreen\n"
      "  --verify FILE  play the recorded game without a window or sound and say how\n"
      "                 it ended (status 0), that it ends elsewhere than recorded (1),\n"
      "                 or what is wrong with the file (2)\n"
      "  --help         show this help and exit\n"
      "  --version      show the version and exit\n"
      "\n"
      "Keys (game controller):\n"
      "  Left (pad left, A)         permit the request\n"
      "  Right (pad right, B)       refuse the request\n"
      "  Up, Down (pad up, down)    set how much the next purchase buys\n"
      "  Esc, a click (Back)        quit\n"
      "  P (Start)                  pause and resume\n"
      "  L, while paused            the next language\n"
      "  M                          mute and unmute\n"
      "  -, + (also the keypad's)   volume down and up\n"
      "  F11, Alt+Enter             fullscreen and back\n"
      "  F12                        save the picture in the pictures folder\n"
      "  C, while the start offers  continue the stopped game instead\n"
      "\n"
      "Fullscreen, window size, volume and language are kept in\n"
      "$XDG_CONFIG_HOME/pikora/settings (by default ~/.config/pikora/settings).\n"
      "Every game is kept as it goes, as a replay, in $XDG_STATE_HOME/pikora\n"
      "(by default ~/.local/state/pikora).\n")));
  std::string codes;
  for (size_t i = 0; i < plat::CarriedLanguages().Count(); ++i)
    codes += (i ? " " : "") + plat::CarriedLanguages()[i].code;
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"%1$s", std::string(words.Get("title", look::kTitle))},
                                    {"%2$s", codes}})
    if (const size_t at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), value);
  return text;
}

}  // namespace app
