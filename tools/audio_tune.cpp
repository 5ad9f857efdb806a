// The background tune: a cheerful piece in C major at 144 beats a minute,
// intro - A A' - B (F major colour, 16 bars) - A A' (glockenspiel doubling) -
// outro with a slowing final cadence. Lead, glockenspiel, keys, bass, strings
// and drums, each on its own channel and track.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tools/audio_gen.h"
#include "tools/audio_midi.h"

namespace gen {
namespace {

constexpr int kPpq = 480, kEighth = kPpq / 2, kBar = 4 * kPpq;
constexpr int kLead = 0, kGlock = 1, kKeys = 2, kBass = 3, kPad = 4, kDrum = 9;

// Melodies, one string per bar, in eighths: "E5/2" is a quarter-note E5, "r" a rest.
const std::vector<std::string> kIntro = {
    "C5/1 E5/1 G5/1 C6/1 G5/1 E5/1 C5/2", "A4/1 C5/1 F5/1 A5/1 F5/1 C5/1 A4/2",
    "B4/1 D5/1 G5/1 B5/1 A5/1 G5/1 F5/1 D5/1", "G5/2 r/2 G4/1 r/1 G4/1 B4/1"};
const std::vector<std::string> kA = {
    "E5/2 G5/1 E5/1 C5/2 G4/2", "A4/1 C5/1 E5/2 D5/2 C5/2", "F5/2 A5/1 F5/1 C5/2 A4/2",
    "G4/1 B4/1 D5/1 F5/1 E5/2 D5/2", "E5/2 G5/1 E5/1 C6/3 B5/1", "A5/2 E5/1 C5/1 A4/2 C5/2",
    "D5/1 E5/1 F5/2 B4/1 C5/1 D5/2", "C5/4 r/2 G4/1 B4/1"};
const std::vector<std::string> kA2 = {
    "E5/2 G5/1 E5/1 C5/2 G4/2", "A4/1 C5/1 E5/2 D5/2 C5/2", "F5/2 A5/1 F5/1 C5/2 A4/2",
    "G4/1 B4/1 D5/1 F5/1 E5/2 D5/2", "E5/2 G5/1 A5/1 G5/2 E5/2", "C6/2 B5/1 A5/1 E5/2 C5/2",
    "F5/1 E5/1 D5/2 G5/1 F5/1 D5/2", "C5/6 r/2"};
const std::vector<std::string> kB = {
    "A5/3 G5/1 F5/2 C5/2", "D5/3 E5/1 F5/2 G5/2", "E5/3 D5/1 B4/2 G4/2", "A4/2 C5/2 E5/4",
    "F5/3 E5/1 D5/2 A4/2", "B4/2 D5/2 G5/2 F5/2", "E5/2 C5/2 G4/2 C5/2", "B4/2 D5/2 G#4/4",
    "A5/3 G5/1 F5/2 A5/2", "B5/3 A5/1 G5/2 D5/2", "G5/3 E5/1 D5/2 B4/2", "C5/2 E5/2 A5/4",
    "F5/2 E5/2 D5/2 F5/2", "E5/2 G5/2 A5/2 C6/2", "B5/4 A5/2 G5/2", "F5/2 D5/2 B4/2 G4/2"};
const std::vector<std::string> kOutro = {
    "E5/1 G5/1 C6/1 G5/1 E5/1 G5/1 C6/2", "F5/1 A5/1 C6/1 A5/1 F5/1 A5/1 C6/2", "D6/2 B5/2 G5/2 B5/2",
    "C6/6 r/2"};

// Chords, one string per bar; two names split the bar in halves.
const std::vector<std::string> kIntroChords = {"C", "F", "G", "G7"};
const std::vector<std::string> kAChords = {"C", "Am", "F", "G", "C", "Am", "Dm G", "C"};
const std::vector<std::string> kA2Chords = {"C", "Am", "F", "G", "C", "Am", "F G", "C"};
const std::vector<std::string> kBChords = {"F", "G", "Em", "Am", "Dm", "G", "C", "E7",
                                           "F", "G", "Em", "Am", "Dm", "Em F", "G", "G7"};
const std::vector<std::string> kOutroChords = {"C", "F", "G", "C"};

int PitchClass(const std::string& s, size_t& i) {
  static const int kBase[7] = {9, 11, 0, 2, 4, 5, 7};  // A to G
  int pc = kBase[s[i++] - 'A'];
  if (i < s.size() && s[i] == '#') ++pc, ++i;
  else if (i < s.size() && s[i] == 'b') --pc, ++i;
  return (pc + 12) % 12;
}

int Pitch(const std::string& s) {
  size_t i = 0;
  int pc = PitchClass(s, i);
  return 12 * (s[i] - '0' + 1) + pc;
}

struct Chord {
  uint32_t at, len;
  int root;
  std::vector<int> iv;
};

// Places a pitch class inside [lo, lo + 12).
int Place(int pc, int lo) { return lo + ((pc - lo) % 12 + 12) % 12; }

struct Writer {
  MidiTrack meta, lead, glock, keys, bass, pad, drums;
  uint32_t seed = 20240607;
  bool ok = true;

  int Jitter(int span) {
    seed = seed * 1664525u + 1013904223u;
    return int((seed >> 16) % uint32_t(2 * span + 1)) - span;
  }

  void Melody(MidiTrack& t, int ch, uint32_t bar, const std::vector<std::string>& bars, int vel, double gate) {
    for (size_t b = 0; b < bars.size(); ++b) {
      std::istringstream in(bars[b]);
      std::string tok;
      uint32_t at = (bar + uint32_t(b)) * kBar, start = at;
      while (in >> tok) {
        size_t slash = tok.find('/');
        uint32_t len = uint32_t(std::stoi(tok.substr(slash + 1))) * kEighth;
        if (tok[0] != 'r') {
          int accent = (at - start) % kPpq == 0 ? ((at - start) == 0 ? 10 : 5) : 0;
          t.Note(at, uint32_t(len * gate), ch, Pitch(tok.substr(0, slash)), vel + accent + Jitter(4));
        }
        at += len;
      }
      if (at - start != kBar) {
        std::fprintf(stderr, "gen_audio: melody bar '%s' is not one bar long\n", bars[b].c_str());
        ok = false;
      }
    }
  }

  std::vector<Chord> Chords(uint32_t bar, const std::vector<std::string>& bars) {
    std::vector<Chord> out;
    for (size_t b = 0; b < bars.size(); ++b) {
      std::istringstream in(bars[b]);
      std::vector<std::string> names;
      for (std::string n; in >> n;) names.push_back(n);
      uint32_t len = kBar / uint32_t(names.size());
      for (size_t k = 0; k < names.size(); ++k) {
        const std::string& n = names[k];
        size_t i = 0;
        Chord c{(bar + uint32_t(b)) * kBar + uint32_t(k) * len, len, PitchClass(n, i), {0, 4, 7}};
        std::string q = n.substr(i);
        if (q == "m") c.iv = {0, 3, 7};
        else if (q == "7") c.iv = {0, 4, 7, 10};
        out.push_back(c);
      }
    }
    return out;
  }

  // Bouncy bass: root, root-fifth pickup, octave, fifth; half bars root-fifth.
  void BassBouncy(const std::vector<Chord>& cs) {
    for (const Chord& c : cs) {
      int r = Place(c.root, 36);
      struct Step { int at, len, off; };
      std::vector<Step> steps = c.len == kBar ? std::vector<Step>{{0, 2, 0}, {2, 1, 0}, {3, 1, 7}, {4, 2, 12}, {6, 2, 7}}
                                              : std::vector<Step>{{0, 2, 0}, {2, 2, 7}};
      for (const Step& s : steps)
        bass.Note(c.at + uint32_t(s.at * kEighth), uint32_t(s.len * kEighth - 40), kBass, r + s.off,
                  (s.at % 4 == 0 ? 92 : 78) + Jitter(4));
    }
  }
  void BassCalm(const std::vector<Chord>& cs) {
    for (const Chord& c : cs) {
      int r = Place(c.root, 36);
      bass.Note(c.at, c.len / 2 - 30, kBass, r, 84 + Jitter(4));
      bass.Note(c.at + c.len / 2, c.len / 2 - 30, kBass, r + 7, 74 + Jitter(4));
    }
  }

  std::vector<int> Voice(const Chord& c, int lo) {
    std::vector<int> v;
    for (int iv : c.iv) v.push_back(Place(c.root + iv, lo));
    return v;
  }
  // Off-beat stabs on every "and".
  void KeysStabs(const std::vector<Chord>& cs) {
    for (const Chord& c : cs)
      for (uint32_t t = kEighth; t < c.len; t += 2 * kEighth)
        for (int k : Voice(c, 55)) keys.Note(c.at + t, 110, kKeys, k, 58 + Jitter(5));
  }
  // Rising broken chords in eighths.
  void KeysBroken(const std::vector<Chord>& cs) {
    for (const Chord& c : cs) {
      std::vector<int> v = Voice(c, 55);
      std::vector<int> seq{v[0], v[1], v[2], v[0] + 12};
      for (uint32_t t = 0, i = 0; t < c.len; t += kEighth, ++i)
        keys.Note(c.at + t, kEighth * 2 - 20, kKeys, seq[i % seq.size()], 50 + Jitter(5));
    }
  }
  void KeysHalves(const std::vector<Chord>& cs) {
    for (const Chord& c : cs)
      for (uint32_t t = 0; t < c.len; t += kBar / 2)
        for (int k : Voice(c, 55)) keys.Note(c.at + t, kBar / 2 - 40, kKeys, k, 56 + Jitter(4));
  }
  void Pad(const std::vector<Chord>& cs) {
    for (const Chord& c : cs)
      for (int k : Voice(c, 60)) pad.Note(c.at, c.len - 10, kPad, k, 44);
  }

  // Shortens (below 64) or restores (64) the channel's release with the
  // SoundFont release-time NRPN. Bells, cymbals and strings otherwise ring
  // on for seconds far below hearing, and every ringing note costs the
  // synthesiser as much as a loud one.
  void Release(MidiTrack& t, uint32_t at, int ch, int value) {
    t.Control(at, ch, 99, 120);
    t.Control(at, ch, 98, 38);
    t.Control(at, ch, 38, 0);
    t.Control(at, ch, 6, value);
  }

  void Hit(uint32_t at, int key, int vel) { drums.Note(at, 60, kDrum, key, vel + Jitter(4)); }
  // One bar of drums: style 0 light (intro), 1 bouncy, 2 calm; a fill ends a section.
  void DrumBar(uint32_t bar, int style, bool crash, bool fill) {
    uint32_t at = bar * kBar;
    if (crash) Hit(at, 49, 96);
    int lastBeat = fill ? 6 : 8;  // a fill takes the last beat
    for (int e = 0; e < lastBeat; ++e) {
      uint32_t t = at + uint32_t(e * kEighth);
      if (style == 2) {
        if (e % 2 == 0) Hit(t, 51, 62);
        if (e == 0 || e == 4) Hit(t, 36, 88);
        if (e == 2 || e == 6) Hit(t, 37, 70);
        if (e % 2 == 1) Hit(t, 54, 40);
      } else {
        Hit(t, 42, e % 2 ? 46 : 64);
        if (e == 0 || e == 4 || (style == 1 && e == 3)) Hit(t, 36, 96);
        if (style == 1 && (e == 2 || e == 6)) Hit(t, 38, 90);
      }
    }
    if (fill) {
      static const int kToms[4] = {50, 47, 45, 41};
      for (int s = 0; s < 4; ++s) Hit(at + uint32_t(3 * kPpq + s * kPpq / 4), s < 2 ? 38 : kToms[s], 78 + 6 * s);
    }
  }
  void Drums(uint32_t bar, int bars, int style) {
    for (int b = 0; b < bars; ++b) DrumBar(bar + uint32_t(b), style, b == 0 && style != 0, b == bars - 1);
  }
};

}  // namespace

bool WriteTune(const std::string& path) {
  Writer w;
  const double kTempo = 144;
  w.meta.Text(0, 0x03, "Pikora Pen Parade");
  w.meta.Raw(0, {0xFF, 0x58, 4, 4, 2, 24, 8});  // 4/4
  w.meta.Tempo(0, kTempo);
  // The last two bars slow down into the final chord.
  const double kRit[8] = {140, 136, 132, 128, 122, 116, 108, 100};
  for (int k = 0; k < 8; ++k) w.meta.Tempo(54 * kBar + uint32_t(k) * kPpq, kRit[k]);

  struct Part { MidiTrack* t; int ch, program, volume, pan; };
  const Part parts[] = {{&w.lead, kLead, 73, 108, 64},  {&w.glock, kGlock, 9, 70, 84},
                        {&w.keys, kKeys, 4, 84, 44},    {&w.bass, kBass, 33, 100, 64},
                        {&w.pad, kPad, 48, 72, 88},     {&w.drums, kDrum, 0, 92, 64}};
  for (const Part& p : parts) {
    if (p.ch != kDrum) p.t->Program(0, p.ch, p.program);
    p.t->Control(0, p.ch, 7, p.volume);
    p.t->Control(0, p.ch, 10, p.pan);
    p.t->Control(0, p.ch, 91, 40);
  }
  w.Release(w.glock, 0, kGlock, 55);
  w.Release(w.pad, 0, kPad, 52);

  // Intro, bars 0-3.
  w.Melody(w.lead, kLead, 0, kIntro, 84, 0.8);
  auto ch = w.Chords(0, kIntroChords);
  w.KeysHalves(ch);
  w.BassCalm(ch);
  w.Drums(0, 4, 0);
  // A A' twice, B between; the second pair adds the glockenspiel and strings.
  for (uint32_t start : {4u, 36u}) {
    bool second = start == 36;
    w.lead.Program(start * kBar, kLead, 73);
    w.Melody(w.lead, kLead, start, kA, 90, 0.85);
    w.Melody(w.lead, kLead, start + 8, kA2, 90, 0.85);
    if (second) {
      w.Melody(w.glock, kGlock, start, kA, 64, 0.5);
      w.Melody(w.glock, kGlock, start + 8, kA2, 64, 0.5);
      w.Pad(w.Chords(start + 8, kA2Chords));
    }
    for (uint32_t s : {start, start + 8}) {
      auto cs = w.Chords(s, s == start ? kAChords : kA2Chords);
      w.KeysStabs(cs);
      w.BassBouncy(cs);
      w.Drums(s, 8, 1);
    }
  }
  // B, bars 20-35, on the clarinet over broken chords and strings.
  w.lead.Program(20 * kBar, kLead, 71);
  w.Melody(w.lead, kLead, 20, kB, 86, 0.95);
  auto bc = w.Chords(20, kBChords);
  w.KeysBroken(bc);
  w.BassCalm(bc);
  w.Pad(bc);
  // The calm drums ride a cymbal on every beat: let each one fade sooner.
  w.Release(w.drums, 20 * kBar + 1, kDrum, 55);
  w.Drums(20, 8, 2);
  w.Drums(28, 8, 2);
  w.Release(w.drums, 36 * kBar - 1, kDrum, 64);
  // Outro, bars 52-55, ending on a held chord.
  w.lead.Program(52 * kBar, kLead, 73);
  w.Melody(w.lead, kLead, 52, kOutro, 92, 0.9);
  w.Melody(w.glock, kGlock, 52, kOutro, 60, 0.5);
  auto oc = w.Chords(52, kOutroChords);
  oc.pop_back();
  w.KeysStabs(oc);
  w.BassBouncy(oc);
  for (uint32_t b = 52; b < 55; ++b) w.DrumBar(b, 1, b == 52, b == 54);
  uint32_t last = 55 * kBar, hold = 6 * kEighth;
  for (int k : {48, 55, 60, 64, 67}) w.keys.Note(last, hold, kKeys, k, 72);
  for (int k : {60, 64, 67}) w.pad.Note(last, hold, kPad, k, 56);
  w.bass.Note(last, hold, kBass, 36, 96);
  w.Hit(last, 49, 100);
  w.Hit(last, 36, 100);

  if (!w.ok) return false;
  return WriteMidi(path, kPpq, {w.meta, w.lead, w.glock, w.keys, w.bass, w.pad, w.drums}, 56 * kBar);
}

}  // namespace gen
