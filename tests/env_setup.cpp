// Every test process runs without a screen or a sound card unless a test
// asks for something else, and with a home of its own: no test reads the
// player's settings or kept games, nor writes over them.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {
struct TestEnvironment {
  TestEnvironment() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#ifdef PIKORA_SANITIZED
    // The sanitizers make each soak game many times slower.
    setenv("PIKORA_SOAK_GAMES", "60", 0);
#endif
    char tmpl[] = "/tmp/pikora-home-XXXXXX";
    if (!mkdtemp(tmpl)) abort();
    home = tmpl;
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home + "/.local/state").c_str(), 1);
    unsetenv("XDG_PICTURES_DIR");
  }
  // Only by the process that made it: a forked child ending must not take
  // the home from under its parent.
  ~TestEnvironment() {
    std::error_code ec;
    if (getpid() == owner) std::filesystem::remove_all(home, ec);
  }
  std::string home;
  pid_t owner = getpid();
} const kEnvironment;
}  // namespace

#ifdef PIKORA_SANITIZED
extern "C" const char* __asan_default_options() { return "detect_leaks=1:abort_on_error=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
// Leaks inside system libraries the game does not own.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libdbus\nleak:libX11\nleak:libSDL2\nleak:libfluidsynth\nleak:libglib\n";
}
#endif
