// Where F12 puts the pictures it saves.
#pragma once
#include <string>

namespace app {

// Where this side puts them (app/SIDE/): the desktop and the page ask the
// XDG folders, Windows its known Pictures folder. "" when none is known.
std::string PicturesFolder();

// $XDG_PICTURES_DIR, else the pictures folder named in
// $XDG_CONFIG_HOME/user-dirs.dirs (by default ~/.config/user-dirs.dirs),
// else ~/Pictures; "" when no home folder is known. Relative paths are
// ignored.
std::string XdgPicturesFolder();

// The pictures folder a user-dirs.dirs text names ("$HOME/..." or an
// absolute path), or "" when it names none.
std::string PicturesFromUserDirs(const std::string& text, const std::string& home);

}  // namespace app
