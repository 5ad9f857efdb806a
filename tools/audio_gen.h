// The build-time generator of the game's music and sound effects.
#pragma once
#include <string>

namespace gen {
// Writes the background tune as a Standard MIDI File.
bool WriteTune(const std::string& path);
// Writes one synthesised effect, by number (1-6, 8-10), as a 16-bit mono WAV.
bool WriteEffect(int number, const std::string& path);
}  // namespace gen
