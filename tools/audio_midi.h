// A small Standard MIDI File writer for the build-time tune generator.
#pragma once
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace gen {

class MidiTrack {
 public:
  void Note(uint32_t tick, uint32_t len, int ch, int key, int vel) {
    Add(tick, 1, {uint8_t(0x90 | ch), uint8_t(key), uint8_t(std::clamp(vel, 1, 127))});
    // Offs sort before ons at the same tick, so a repeated key is never cut short.
    Add(tick + len, 0, {uint8_t(0x80 | ch), uint8_t(key), 0});
  }
  void Program(uint32_t tick, int ch, int program) { Add(tick, 0, {uint8_t(0xC0 | ch), uint8_t(program)}); }
  void Control(uint32_t tick, int ch, int cc, int val) {
    Add(tick, 0, {uint8_t(0xB0 | ch), uint8_t(cc), uint8_t(val)});
  }
  void Tempo(uint32_t tick, double bpm) {
    uint32_t us = uint32_t(60000000.0 / bpm + 0.5);
    Add(tick, 0, {0xFF, 0x51, 3, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
  }
  void Text(uint32_t tick, uint8_t type, const std::string& s) {
    std::vector<uint8_t> b{0xFF, type, uint8_t(s.size())};
    b.insert(b.end(), s.begin(), s.end());
    Add(tick, 0, b);
  }
  void Raw(uint32_t tick, std::vector<uint8_t> bytes) { Add(tick, 0, std::move(bytes)); }

  // The track chunk, closed by an end-of-track at endTick (or the last event).
  std::vector<uint8_t> Encode(uint32_t endTick) const {
    std::vector<Ev> evs = evs_;
    std::stable_sort(evs.begin(), evs.end(),
                     [](const Ev& a, const Ev& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const Ev& e : evs) {
      Var(body, e.tick - now);
      now = e.tick;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    Var(body, endTick > now ? endTick - now : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> out{'M', 'T', 'r', 'k'};
    Be32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }

 private:
  struct Ev {
    uint32_t tick;
    int order;
    std::vector<uint8_t> bytes;
  };
  void Add(uint32_t tick, int order, std::vector<uint8_t> b) { evs_.push_back({tick, order, std::move(b)}); }
  static void Var(std::vector<uint8_t>& o, uint32_t v) {
    uint8_t tmp[5];
    int n = 0;
    tmp[n++] = v & 0x7F;
    while (v >>= 7) tmp[n++] = uint8_t(0x80 | (v & 0x7F));
    while (n) o.push_back(tmp[--n]);
  }
  static void Be32(std::vector<uint8_t>& o, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) o.push_back(uint8_t(v >> s));
  }
  std::vector<Ev> evs_;
};

// Format 1: the first track carries the tempo map, the others the parts.
inline bool WriteMidi(const std::string& path, int ppq, const std::vector<MidiTrack>& tracks, uint32_t endTick) {
  std::vector<uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  out.push_back(uint8_t(tracks.size() >> 8));
  out.push_back(uint8_t(tracks.size()));
  out.push_back(uint8_t(ppq >> 8));
  out.push_back(uint8_t(ppq));
  for (const MidiTrack& t : tracks) {
    std::vector<uint8_t> c = t.Encode(endTick);
    out.insert(out.end(), c.begin(), c.end());
  }
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(f);
}

}  // namespace gen
