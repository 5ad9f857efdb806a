// The sound effects, synthesised from sine partials, soft square waves and
// filtered noise, written as 44.1 kHz 16-bit mono WAV files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "platform/sdl/AudioFiles.h"
#include "tools/audio_gen.h"

namespace gen {
namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

enum class Shape { Sine, Soft, Bell };

struct Buf {
  std::vector<double> s;
  explicit Buf(double secs) : s(size_t(secs * kRate), 0.0) {}

  // A tone gliding from f0 to f1 over dur seconds, with an attack, an
  // exponential decay (tau seconds) and a short fade at its end.
  void Tone(double t0, double dur, double f0, double f1, double amp, double tau, Shape shape,
            double attack = 0.003) {
    size_t a = size_t(t0 * kRate), n = size_t(dur * kRate);
    double phase = 0;
    for (size_t i = 0; i < n && a + i < s.size(); ++i) {
      double t = double(i) / kRate, u = double(i) / double(n);
      double f = f0 * std::pow(f1 / f0, u);
      phase += 2 * kPi * f / kRate;
      double env = amp * std::min(1.0, t / attack) * std::exp(-t / tau) * std::min(1.0, (dur - t) / 0.004);
      double v = 0;
      switch (shape) {
        case Shape::Sine: v = std::sin(phase); break;
        case Shape::Soft:  // odd harmonics only: a rounded square
          v = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 + std::sin(7 * phase) / 7;
          break;
        case Shape::Bell:  // a bright partial and an inharmonic shimmer that fade sooner
          v = std::sin(phase) + 0.45 * std::sin(2 * phase) * std::exp(-t / (tau * 0.4)) +
              0.2 * std::sin(4.2 * phase) * std::exp(-t / (tau * 0.2));
          break;
      }
      s[a + i] += env * v;
    }
  }

  // Filtered noise: two-pole lowpass cutoff lp (0: none), then highpass cutoff hp (0: none).
  void Noise(double t0, double dur, double amp, double tau, double lp, double hp, uint32_t seed) {
    size_t a = size_t(t0 * kRate), n = size_t(dur * kRate);
    double low = 0, low2 = 0, prevIn = 0, high = 0;
    double al = lp > 0 ? 1 - std::exp(-2 * kPi * lp / kRate) : 1;
    double ah = hp > 0 ? 1 / (1 + 2 * kPi * hp / kRate) : 0;
    for (size_t i = 0; i < n && a + i < s.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      double w = double(seed >> 8) / double(1u << 24) * 2 - 1;
      low += al * (w - low);  // two poles: a steeper, softer fall above the cutoff
      low2 += al * (low - low2);
      double x = low2;
      if (hp > 0) {
        high = ah * (high + x - prevIn);
        prevIn = x;
        x = high;
      }
      double t = double(i) / kRate;
      s[a + i] += amp * x * std::exp(-t / tau) * std::min(1.0, (dur - t) / 0.002);
    }
  }
};

// Scales the loudest sample to the given peak.
void Normalise(Buf& b, double peak) {
  double m = 0;
  for (double v : b.s) m = std::max(m, std::fabs(v));
  if (m > 0)
    for (double& v : b.s) v *= peak / m;
}

bool SaveWav(const std::string& path, const Buf& b) {
  const auto header = plat::WavHeader(kRate, 1, uint32_t(b.s.size() * 2));
  std::vector<uint8_t> o(header.begin(), header.end());
  auto u16 = [&](uint16_t v) { o.push_back(uint8_t(v)); o.push_back(uint8_t(v >> 8)); };
  for (double v : b.s) u16(uint16_t(int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767))));
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(o.data()), std::streamsize(o.size()));
  return bool(f);
}

double Note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

Buf Make(int number) {
  switch (number) {
    case 1: {  // message chime: a rising two-note bell
      Buf b(0.9);
      b.Tone(0.0, 0.9, Note(84), Note(84), 0.8, 0.16, Shape::Bell);
      b.Tone(0.13, 0.77, Note(91), Note(91), 0.9, 0.22, Shape::Bell);
      return b;
    }
    case 2: {  // refusal: two low soft-square notes falling
      Buf b(0.32);
      b.Tone(0.0, 0.11, 233, 226, 0.6, 0.3, Shape::Soft);
      b.Tone(0.12, 0.2, 175, 165, 0.7, 0.15, Shape::Soft);
      return b;
    }
    case 3: {  // permit / page turn: a quick upward blip
      Buf b(0.11);
      b.Tone(0.0, 0.11, 700, 1500, 0.8, 0.05, Shape::Sine);
      return b;
    }
    case 4: {  // growth sparkle: a fast rising bell arpeggio with twinkles
      Buf b(0.85);
      const int notes[6] = {84, 88, 91, 96, 100, 103};
      for (int k = 0; k < 6; ++k) b.Tone(0.045 * k, 0.85 - 0.045 * k, Note(notes[k]), Note(notes[k]), 0.5, 0.14, Shape::Bell);
      for (int k = 0; k < 5; ++k) b.Tone(0.3 + 0.08 * k, 0.12, Note(108 - 2 * k), Note(108 - 2 * k), 0.15, 0.03, Shape::Sine);
      return b;
    }
    case 5: {  // egg placed: a soft falling plop
      Buf b(0.2);
      b.Noise(0.0, 0.01, 0.3, 0.003, 3000, 0, 5);
      b.Tone(0.0, 0.2, 430, 170, 0.9, 0.06, Shape::Sine);
      return b;
    }
    case 6: {  // feed bag: a soft low thud
      Buf b(0.26);
      b.Noise(0.0, 0.26, 1.2, 0.05, 380, 0, 6);
      b.Tone(0.0, 0.26, 95, 55, 0.8, 0.07, Shape::Sine);
      return b;
    }
    case 8: {  // coin: a short note and a ringing higher one
      Buf b(0.55);
      b.Tone(0.0, 0.07, Note(83), Note(83), 0.45, 1.0, Shape::Soft);
      b.Tone(0.07, 0.48, Note(88), Note(88), 0.5, 0.16, Shape::Soft);
      return b;
    }
    case 9: {  // hatching: three shell cracks, then a rising pop
      Buf b(0.5);
      const double at[3] = {0.0, 0.07, 0.15};
      for (int k = 0; k < 3; ++k) b.Noise(at[k], 0.03, 0.9, 0.006, 6000, 900, 90 + uint32_t(k));
      b.Tone(0.25, 0.25, 320, 1000, 0.8, 0.07, Shape::Sine);
      return b;
    }
    case 10: {  // selector click: a tiny tick
      Buf b(0.04);
      b.Noise(0.0, 0.01, 0.5, 0.002, 0, 2000, 10);
      b.Tone(0.0, 0.04, 2400, 2200, 0.6, 0.006, Shape::Sine, 0.0005);
      return b;
    }
    default:
      return Buf(0);
  }
}

}  // namespace

bool WriteEffect(int number, const std::string& path) {
  Buf b = Make(number);
  if (b.s.empty()) return false;
  Normalise(b, number == 10 ? 0.5 : 0.7);
  return SaveWav(path, b);
}

}  // namespace gen
