// The Japanese gothic font carried in the program, as the text drawing opens
// it; for the drawing itself and for the tests that hold it to SDL_ttf.
#pragma once
#include <SDL_ttf.h>

namespace plat {
// The font at `size` points (96 dpi) in the given weight with normal hinting,
// opened once per thread and kept; null when it cannot be opened.
TTF_Font* FontFor(int size, bool bold);
}  // namespace plat
