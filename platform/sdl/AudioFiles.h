// What the sound backend needs to know about its files before handing them to
// the mixer: which SoundFont to use, whether bytes are a WAV, how long a MIDI
// piece lasts by its own tempo map, and a beep for a missing effect.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace plat {

// The whole file (a regular one of at most 64 MB, read as Files.h reads),
// or nothing (ok false).
std::vector<uint8_t> ReadFileBytes(const std::string& path, bool& ok);

// The 44-byte header of a 16-bit PCM WAV file whose samples take dataBytes.
// Inline: the build-time sound generator writes its files with it too.
inline std::array<uint8_t, 44> WavHeader(int rate, int channels, uint32_t dataBytes) {
  std::array<uint8_t, 44> h{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0};
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) h[at + size_t(k)] = uint8_t(v >> (8 * k));
  };
  const uint32_t frame = uint32_t(channels) * 2;
  put(4, 36 + dataBytes, 4);
  put(22, uint32_t(channels), 2);
  put(24, uint32_t(rate), 4);
  put(28, uint32_t(rate) * frame, 4);
  put(32, frame, 2);
  put(34, 16, 2);
  h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
  put(40, dataBytes, 4);
  return h;
}

// A RIFF file of form WAVE.
bool IsWavData(std::span<const uint8_t> bytes);
// Why a WAV is no sound effect, from what the chunks SDL uses claim (the
// first format, the first samples): a rate, a number of channels, an
// encoding or a length no effect has (a rate of 1 Hz would be converted into
// gigabytes), or no samples at all; "" when sane.
std::string WavTrouble(std::span<const uint8_t> bytes);
// A RIFF file of form sfbk (an SF2 or SF3 SoundFont).
bool IsSoundFontFile(const std::string& path);

// The SoundFont for the music: PIKORA_SOUNDFONT if it names one, a .sf2 or .sf3
// beside the program, then the system's General MIDI fonts. Empty if none.
std::string FindSoundFont(const std::string& programDir);

struct MidiSummary {
  bool ok = false;
  std::string error;
  uint32_t ticks = 0;     // the latest end of any track
  double seconds = 0;     // that end, by the tempo map
};
// Reads a Standard MIDI File (formats 0 and 1, with running status) far
// enough to know it whole and how long it plays.
MidiSummary ParseMidi(std::span<const uint8_t> bytes);

// A short, plain beep (16-bit mono WAV) that stands in for a missing effect.
std::vector<uint8_t> DefaultBeepWav();

}  // namespace plat
