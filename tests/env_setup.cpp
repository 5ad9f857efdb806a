// Every test process runs without a screen or a sound card unless a test
// asks for something else.
#include <cstdlib>

namespace {
struct TestEnvironment {
  TestEnvironment() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#ifdef PIKORA_SANITIZED
    // The sanitizers make each soak game many times slower.
    setenv("PIKORA_SOAK_GAMES", "60", 0);
#endif
  }
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
