// Files carried inside the program (pictures, the font), found by name.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace plat {
// Empty span when no file of that name was embedded.
std::span<const uint8_t> Embedded(const std::string& name);
}  // namespace plat
