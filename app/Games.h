// The games kept in the state folder: every game as it goes, the last
// stopped one to be continued, the last finished ones to be watched again.
#pragma once
#include <string>

#include "platform/Platform.h"
#include "platform/kit/Comfort.h"
#include "replay/Kept.h"

namespace app {

// The folder of the kept games, each side's own (app/SIDE/); "" when none is
// known.
std::string StateFolder();
// $XDG_STATE_HOME/pikora, else ~/.local/state/pikora; "" when neither folder
// is known. Relative paths are ignored, as the XDG rules say.
std::string XdgStateFolder();
// How many games of each kind stay: finished (the owner back, bankrupt) and
// stopped (quit or cut off).
constexpr size_t kGamesKept = 20;

// The newest kept game's file, "" when none.
std::string LastGame(const std::string& folder);
// The newest kept game when it stopped before its end and can go on: its
// file, or "" (a damaged one is set aside on the way).
std::string StoppedGame(const std::string& folder, replay::Kept& game);
// A new game's file, named by the time it starts; the folder is made if need
// be. "" with why when it cannot be.
std::string NewGame(const std::string& folder, std::string& why);
// A damaged kept game is renamed (NAME.damaged, never deleted) and said in one line.
void SetAside(const std::string& path, const std::string& why);
// Removes all but the newest kGamesKept games of each kind, never `current`.
void Prune(const std::string& folder, const std::string& current);
// A stopped game goes on in its own language, when the game still has it.
void SpeakAsKept(plat::Platform& p, const replay::Kept& k);
// What the offer to continue says of a kept game: its date and how it stood.
plat::Offer Standing(const std::string& path, const replay::Kept& k);

}  // namespace app
