// What the tests read off pictures and the font, beyond what the game needs.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Surface.h"

namespace pktest {

// FNV-1a of the pixels' colours: one number to hold two pictures against.
inline uint64_t Hash(const plat::Surface& s) {
  uint64_t h = 1469598103934665603ull;
  for (plat::Color c : s.Pixels())
    for (int k = 0; k < 3; ++k) h = (h ^ ((c >> (8 * k)) & 255)) * 1099511628211ull;
  return h;
}

// True when the carried font has a glyph for every character of the text
// (blanks and line breaks aside). In pictures_test.cpp.
bool FontHasGlyphs(const std::string& utf8);

}  // namespace pktest
