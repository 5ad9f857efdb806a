// The MIDI tune synthesised once, into memory, by FluidSynth on a thread of
// its own, and handed to the mixer as a WAV file. A synthesiser kept running
// for the whole game costs a few percent of a core while the player only
// looks at the screen; playing back samples costs next to nothing. The
// rendering runs some fifty times faster than the tune, so the mixer can start
// on it at once: a read of frames not yet made waits for them.
#pragma once
#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plat {

class RenderedTune : public std::enable_shared_from_this<RenderedTune> {
 public:
  // Renders `frames` frames of 16-bit stereo at `rate` Hz from the start of
  // `midi`, at FluidSynth's `gain`; the tail after the last event is kept up
  // to that length.
  static std::shared_ptr<RenderedTune> Start(std::shared_ptr<const std::vector<uint8_t>> midi,
                                             const std::string& soundFont, int rate, int64_t frames, double gain);
  ~RenderedTune();
  RenderedTune(const RenderedTune&) = delete;
  RenderedTune& operator=(const RenderedTune&) = delete;

  // Waits until `frames` frames are made, or the rendering failed; true if made.
  bool WaitFor(int64_t frames);
  // Why the rendering failed; empty while it has not.
  std::string Error();
  // A reader of the whole tune as a WAV file, for the mixer; it keeps the tune alive.
  SDL_RWops* Open();

  // Longer tunes are played by the synthesiser as they go: ten minutes of
  // samples are already about 100 MB.
  static constexpr double kLongest = 600;
  // The rate the mixer opens at, and the gain that sounds as the mixer's own
  // synthesiser at the game's music volume (64 of 128: FluidSynth's gain
  // 1.2 times that share) with the tune then played at full volume. The web
  // page's tune is made at these too, ahead of time.
  static constexpr int kRate = 44100;
  static constexpr double kGain = 1.2 * 64 / 128;

 private:
  RenderedTune(int rate, int64_t frames);
  void Render(std::shared_ptr<const std::vector<uint8_t>> midi, std::string soundFont, double gain);
  // Copies [at, at + n) of the file, waiting for the samples in it.
  size_t Read(size_t at, void* to, size_t n);
  static constexpr size_t kHeader = 44;

  const int rate_;
  const int64_t frames_;
  std::unique_ptr<uint8_t[]> file_;  // the header, then the samples as they are made
  size_t size_ = 0;

  std::mutex mu_;
  std::condition_variable made_;
  size_t ready_ = 0;   // bytes of the file ready to read
  bool failed_ = false;
  std::string error_;
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace plat
