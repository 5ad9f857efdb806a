// Makes the tune into samples exactly as the desktop game does when its music
// opens (the same synthesiser, SoundFont, rate and gain), and writes them as a
// WAV file: the web page, which has no synthesiser, plays them compressed.
//   pikora_render_tune TUNE.mid OUT.wav [SOUNDFONT]
#include <SDL.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/sdl/AudioFiles.h"
#include "platform/desktop/RenderedTune.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: pikora_render_tune TUNE.mid OUT.wav [SOUNDFONT]\n");
    return 2;
  }
  bool ok = false;
  auto midi = std::make_shared<std::vector<uint8_t>>(plat::ReadFileBytes(argv[1], ok));
  const plat::MidiSummary summary = ok ? plat::ParseMidi(*midi) : plat::MidiSummary{};
  if (!summary.ok) {
    std::fprintf(stderr, "pikora_render_tune: %s: %s\n", argv[1], ok ? summary.error.c_str() : "cannot read it");
    return 1;
  }
  const std::string soundFont = argc > 3 ? argv[3] : plat::FindSoundFont("./");
  if (soundFont.empty()) {
    std::fprintf(stderr, "pikora_render_tune: no General MIDI SoundFont found (set PIKORA_SOUNDFONT)\n");
    return 1;
  }
  const int rate = plat::RenderedTune::kRate;
  const int64_t frames = int64_t(summary.seconds * rate);
  auto tune = plat::RenderedTune::Start(midi, soundFont, rate, frames, plat::RenderedTune::kGain);
  if (!tune->WaitFor(frames)) {
    std::fprintf(stderr, "pikora_render_tune: %s\n", tune->Error().c_str());
    return 1;
  }
  // The tune's own reader gives the whole WAV file, header and samples.
  SDL_RWops* rw = tune->Open();
  std::vector<char> file(size_t(SDL_RWsize(rw)));
  const size_t got = SDL_RWread(rw, file.data(), 1, file.size());
  SDL_RWclose(rw);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(file.data(), std::streamsize(got));
  if (got != file.size() || !out.flush()) {
    std::fprintf(stderr, "pikora_render_tune: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("pikora_render_tune: %.1f s of %s with %s\n", double(frames) / rate, argv[1], soundFont.c_str());
  return 0;
}
