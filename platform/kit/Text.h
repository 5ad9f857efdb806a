// Text on the drawing surfaces, in the Japanese gothic font carried in the
// program: how the backends print what the game asks (Platform::Print). Sizes are points at 96 dpi, as the window's drawing surfaces
// measured them.
//
// Threads: the font and the rendered texts are kept per thread, so games on
// several threads (the tests, the lab) never share them and need no lock.
#pragma once
#include <string>

#include "platform/Surface.h"

namespace plat {

// Prints text at the surface's text position in its current attributes, with
// a transparent background, top-left corner at the position.
void PrintText(Surface& s, const std::string& utf8);

}  // namespace plat
