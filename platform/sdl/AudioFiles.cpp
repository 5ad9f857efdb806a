#include "platform/sdl/AudioFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/Files.h"

namespace plat {

std::vector<uint8_t> ReadFileBytes(const std::string& path, bool& ok) {
  FileRead r = ReadWholeFile(path, size_t(64) << 20);
  ok = r.ok;
  return std::move(r.bytes);
}

namespace {
bool IsRiff(std::span<const uint8_t> b, const char* form) {
  return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, form, 4) == 0;
}
}  // namespace

bool IsWavData(std::span<const uint8_t> bytes) { return IsRiff(bytes, "WAVE"); }

std::string WavTrouble(std::span<const uint8_t> b) {
  auto u16 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8); };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  // Judged as SDL reads it: the first 'fmt ' chunk, which must come before
  // the first 'data' chunk, where the reading stops; chunks are padded to
  // even lengths. Any later chunk is never looked at by SDL, so not here.
  uint32_t channels = 0, rate = 0, bits = 0, encoding = 0;
  uint64_t data = 0;
  bool format = false, samples = false;
  for (size_t at = 12; at + 8 <= b.size() && !samples;) {
    const uint32_t size = u32(at + 4);
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && !format) {
      if (size < 16 || at + 24 > b.size()) return "its format is cut short";
      format = true;
      encoding = u16(at + 8), channels = u16(at + 10), rate = u32(at + 12), bits = u16(at + 22);
      // WAVE_FORMAT_EXTENSIBLE names its encoding further on.
      if (encoding == 0xFFFE) encoding = size >= 40 && at + 34 <= b.size() ? u16(at + 32) : 0;
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      if (!format) return "its samples come before their format";
      samples = true;
      data = std::min<uint64_t>(size, b.size() - at - 8);
    }
    at += 8 + uint64_t(size) + (size & 1);
  }
  if (!format || !samples) return "it has no format or no samples";
  // Compressed samples are decoded to a size their header does not bound.
  if (encoding != 1 && encoding != 3) return "its samples are not PCM (encoding " + std::to_string(encoding) + ")";
  if (channels < 1 || channels > 8) return "it claims " + std::to_string(channels) + " channels";
  if (rate < 4000 || rate > 192000) return "it claims a rate of " + std::to_string(rate) + " Hz";
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32 && !(encoding == 3 && bits == 64))
    return "it claims " + std::to_string(bits) + " bits a sample";
  const double seconds = double(data) * 8 / (double(channels) * bits) / rate;
  if (seconds > 60) return "it lasts " + std::to_string(int(seconds)) + " s";
  return "";
}

bool IsSoundFontFile(const std::string& path) { return IsRiff(ReadFileHead(path, 12), "sfbk"); }

std::string FindSoundFont(const std::string& programDir) {
  // "none" asks for no music at all, as on a machine without a SoundFont.
  const char* env = std::getenv("PIKORA_SOUNDFONT");
  if (env && std::string(env) == "none") return "";
  if (env && *env && IsSoundFontFile(env)) return env;
  namespace fs = std::filesystem;
  std::vector<std::string> beside;
  std::error_code ec;
  for (fs::directory_iterator it(programDir.empty() ? "." : programDir, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".sf2" || ext == ".sf3") beside.push_back(it->path().string());
  }
  std::sort(beside.begin(), beside.end());
  for (const std::string& p : beside)
    if (IsSoundFontFile(p)) return p;
  for (const char* p : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
                        "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                        "/usr/share/sounds/sf3/FluidR3_GM.sf3"})
    if (IsSoundFontFile(p)) return p;
  return "";
}

namespace {
struct MidiReader {
  std::span<const uint8_t> b;
  size_t at = 0;
  bool bad = false;
  bool Has(size_t n) const { return !bad && at + n <= b.size(); }
  uint32_t Byte() {
    if (!Has(1)) {
      bad = true;
      return 0;
    }
    return b[at++];
  }
  uint32_t Be(int n) {
    uint32_t v = 0;
    for (int k = 0; k < n; ++k) v = (v << 8) | Byte();
    return v;
  }
  uint32_t Var() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      uint32_t c = Byte();
      v = (v << 7) | (c & 0x7F);
      if (!(c & 0x80)) return v;
    }
    bad = true;
    return 0;
  }
  void Skip(size_t n) {
    if (!Has(n)) bad = true;
    else at += n;
  }
};
}  // namespace

MidiSummary ParseMidi(std::span<const uint8_t> bytes) {
  MidiSummary s;
  auto fail = [&s](const char* why) {
    s.error = why;
    return s;
  };
  MidiReader r{bytes};
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return fail("no MIDI header");
  r.at = 4;
  uint32_t hlen = r.Be(4);
  r.Be(2);  // the format: every track is read alike
  const int tracks = int(r.Be(2));
  uint32_t division = r.Be(2);
  if (hlen < 6 || division == 0) return fail("bad header");
  r.at = 8 + hlen;
  std::map<uint32_t, uint32_t> tempo{{0, 500000}};  // tick -> microseconds a quarter
  for (int t = 0; t < tracks; ++t) {
    if (!r.Has(8) || std::memcmp(bytes.data() + r.at, "MTrk", 4) != 0) return fail("missing track");
    r.at += 4;
    size_t len = r.Be(4), end = r.at + len;
    if (end > bytes.size()) return fail("track runs past the end");
    uint32_t tick = 0, status = 0;
    bool ended = false;
    while (r.at < end && !r.bad && !ended) {
      tick += r.Var();
      uint32_t c = r.Byte();
      if (c == 0xFF) {
        uint32_t type = r.Byte(), n = r.Var();
        if (type == 0x51 && n == 3) tempo[tick] = r.Be(3);
        else r.Skip(n);
        if (type == 0x2F) ended = true;
        status = 0;
      } else if (c == 0xF0 || c == 0xF7) {
        r.Skip(r.Var());
        status = 0;
      } else {
        // A channel message: its first data byte is c itself under running status.
        if (c & 0x80) status = c, r.Byte();
        else if (!status) return fail("data without a status");
        const int kind = int(status >> 4);
        if (kind != 0xC && kind != 0xD) r.Byte();  // the second data byte
      }
    }
    if (r.bad) return fail("track cut short");
    s.ticks = std::max(s.ticks, tick);
    r.at = end;
  }
  if (division & 0x8000) {  // frames a second and ticks a frame
    int fps = -int(int8_t(division >> 8));
    s.seconds = fps > 0 ? s.ticks / double(fps * int(division & 0xFF)) : 0;
  } else {
    double us = 0;
    uint32_t last = 0, rate = 500000;
    for (const auto& [at, v] : tempo) {
      if (at >= s.ticks) break;
      us += double(at - last) * rate / division;
      last = at;
      rate = v;
    }
    s.seconds = (us + double(s.ticks - last) * rate / division) / 1e6;
  }
  if (!(s.seconds >= 0 && s.seconds < 1e6)) return fail("no sensible length");
  s.ok = true;
  return s;
}

std::vector<uint8_t> DefaultBeepWav() {
  const int rate = 22050, n = rate * 15 / 100;  // 0.15 s at 880 Hz
  const auto header = WavHeader(rate, 1, uint32_t(2 * n));
  std::vector<uint8_t> o(header.begin(), header.end());
  auto u16 = [&](uint32_t v) { o.push_back(uint8_t(v)); o.push_back(uint8_t(v >> 8)); };
  for (int i = 0; i < n; ++i) {
    double t = double(i) / rate;
    double env = std::min(1.0, t / 0.005) * std::min(1.0, (0.15 - t) / 0.02);
    u16(uint16_t(int16_t(std::lround(12000 * env * std::sin(2 * 3.14159265358979 * 880 * t)))));
  }
  return o;
}

}  // namespace plat
