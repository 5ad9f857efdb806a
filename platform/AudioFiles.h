// What the sound backend needs to know about its files before handing them to
// the mixer: which SoundFont to use, whether bytes are a WAV, how long a MIDI
// piece lasts by its own tempo map, and a beep for a missing effect.
#pragma once
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace plat {

// The whole file, or nothing (ok false) when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path, bool& ok);

// A RIFF file of form WAVE.
bool IsWavData(std::span<const uint8_t> bytes);
// A RIFF file of form sfbk (an SF2 or SF3 SoundFont).
bool IsSoundFontFile(const std::string& path);

// The SoundFont for the music: PIKORA_SOUNDFONT if it names one, a .sf2 or .sf3
// beside the program, then the system's General MIDI fonts. Empty if none.
std::string FindSoundFont(const std::string& programDir);

struct MidiSummary {
  bool ok = false;
  std::string error;
  int format = 0, tracks = 0;
  uint32_t ticks = 0;     // the latest end of any track
  double seconds = 0;     // that end, by the tempo map
  int notes = 0;          // notes switched on
  int hangingNotes = 0;   // notes switched on and never off
  bool allTracksEnded = false;  // every track closes with an end-of-track
  std::set<int> channels;       // channels with notes
  std::set<int> programs;       // programs chosen on melodic channels
};
// Reads a Standard MIDI File (formats 0 and 1, with running status).
MidiSummary ParseMidi(std::span<const uint8_t> bytes);

// A short, plain beep (16-bit mono WAV) that stands in for a missing effect.
std::vector<uint8_t> DefaultBeepWav();

}  // namespace plat
