// What the shell does with replays: check one without a window, and see one
// shown in the window to its end.
#pragma once
#include <string>

#include "replay/Replay.h"

namespace pk {
class Form1;
}
namespace plat {
class Platform;
}

namespace app {

// Reads a replay; a fault is said on stderr, naming the file.
bool LoadReplay(const std::string& path, replay::Replay& out);

// --verify: plays the file on the blind twin and prints one line of how the
// game ended. 0: as recorded; 1: it ends elsewhere; 2: a damaged file.
int Verify(const std::string& path);

// After a replay has played in the window: prints how it ended, and when it
// played to its end, keeps the last picture until the player quits. 0, or 1
// when it ended elsewhere than recorded.
int AfterReplay(plat::Platform& p, const pk::Form1& f, const replay::Player& tape, const replay::Replay& r);

}  // namespace app
