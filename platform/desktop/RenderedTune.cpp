#include "platform/desktop/RenderedTune.h"

#include <fluidsynth.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/sdl/AudioFiles.h"

namespace plat {

static_assert(std::endian::native == std::endian::little, "the samples are written as a WAV file's, little-endian");

namespace {

// One reader of a tune: its own position, and the tune kept alive.
struct TuneReader {
  std::shared_ptr<RenderedTune> tune;
  size_t at = 0;
};
TuneReader* ReaderOf(SDL_RWops* c) { return static_cast<TuneReader*>(c->hidden.unknown.data1); }

}  // namespace

RenderedTune::RenderedTune(int rate, int64_t frames)
    : rate_(rate), frames_(frames), file_(std::make_unique_for_overwrite<uint8_t[]>(kHeader + size_t(frames) * 4)),
      size_(kHeader + size_t(frames) * 4) {
  const auto header = WavHeader(rate, 2, uint32_t(frames) * 4);
  static_assert(std::tuple_size_v<decltype(header)> == kHeader);
  std::copy(header.begin(), header.end(), file_.get());
  ready_ = kHeader;
}

std::shared_ptr<RenderedTune> RenderedTune::Start(std::shared_ptr<const std::vector<uint8_t>> midi,
                                                  const std::string& soundFont, int rate, int64_t frames,
                                                  double gain) {
  // FluidSynth would print its own complaints; the caller reports one line.
  static std::once_flag quiet;
  std::call_once(quiet, [] {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, nullptr, nullptr);
  });
  std::shared_ptr<RenderedTune> t(new RenderedTune(rate, std::max<int64_t>(frames, 0)));
  t->worker_ = std::thread(&RenderedTune::Render, t.get(), std::move(midi), soundFont, gain);
  return t;
}

RenderedTune::~RenderedTune() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void RenderedTune::Render(std::shared_ptr<const std::vector<uint8_t>> midi, std::string soundFont, double gain) {
  // Behind the game and the display in the queue for a core: even with little
  // of one it stays far ahead of the player.
  setpriority(PRIO_PROCESS, unsigned(gettid()), 10);
  std::string error;
  fluid_settings_t* settings = new_fluid_settings();
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  if (!settings || fluid_settings_setnum(settings, "synth.sample-rate", rate_) != FLUID_OK ||
      !(synth = new_fluid_synth(settings)))
    error = "FluidSynth cannot start";
  else if (fluid_synth_set_gain(synth, float(gain)), fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED)
    error = "FluidSynth cannot read the SoundFont " + soundFont;
  else if (!(player = new_fluid_player(synth)) || fluid_player_add_mem(player, midi->data(), midi->size()) != FLUID_OK ||
           fluid_player_play(player) != FLUID_OK)
    error = "FluidSynth cannot read the tune";

  // Blocks of the mixer's usual size; each one is told to a waiting reader.
  constexpr int64_t kBlock = 1024;
  int64_t done = 0;
  while (error.empty() && done < frames_ && !cancel_) {
    const int n = int(std::min(kBlock, frames_ - done));
    auto* out = reinterpret_cast<int16_t*>(file_.get() + kHeader) + done * 2;
    if (fluid_synth_write_s16(synth, n, out, 0, 2, out, 1, 2) != FLUID_OK) {
      error = "FluidSynth stopped in the middle of the tune";
      break;
    }
    done += n;
    std::lock_guard<std::mutex> lk(mu_);
    ready_ = kHeader + size_t(done) * 4;
    made_.notify_all();
  }
  if (player) {
    fluid_player_stop(player);
    delete_fluid_player(player);
  }
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);
  if (error.empty()) return;
  // What was not made stays silent; nobody waits for it.
  std::lock_guard<std::mutex> lk(mu_);
  std::memset(file_.get() + ready_, 0, size_ - ready_);
  ready_ = size_;
  failed_ = true;
  error_ = error;
  made_.notify_all();
}

bool RenderedTune::WaitFor(int64_t frames) {
  const size_t want = kHeader + size_t(std::clamp<int64_t>(frames, 0, frames_)) * 4;
  std::unique_lock<std::mutex> lk(mu_);
  made_.wait(lk, [&] { return ready_ >= want; });
  return !failed_;
}

std::string RenderedTune::Error() {
  std::lock_guard<std::mutex> lk(mu_);
  return error_;
}

size_t RenderedTune::Read(size_t at, void* to, size_t n) {
  if (at >= size_) return 0;
  n = std::min(n, size_ - at);
  {
    std::unique_lock<std::mutex> lk(mu_);
    made_.wait(lk, [&] { return ready_ >= at + n; });
  }
  std::memcpy(to, file_.get() + at, n);  // made bytes never change again
  return n;
}

SDL_RWops* RenderedTune::Open() {
  SDL_RWops* rw = SDL_AllocRW();
  if (!rw) return nullptr;
  rw->type = SDL_RWOPS_UNKNOWN;
  rw->hidden.unknown.data1 = new TuneReader{shared_from_this()};
  rw->size = [](SDL_RWops* c) -> Sint64 { return Sint64(ReaderOf(c)->tune->size_); };
  rw->seek = [](SDL_RWops* c, Sint64 offset, int whence) -> Sint64 {
    TuneReader* r = ReaderOf(c);
    const Sint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? Sint64(r->at) : Sint64(r->tune->size_);
    r->at = size_t(std::clamp<Sint64>(base + offset, 0, Sint64(r->tune->size_)));
    return Sint64(r->at);
  };
  rw->read = [](SDL_RWops* c, void* to, size_t size, size_t count) -> size_t {
    TuneReader* r = ReaderOf(c);
    if (size == 0 || count == 0) return 0;
    const size_t got = r->tune->Read(r->at, to, size * std::min(count, r->tune->size_ / size + 1));
    r->at += got;
    return got / size;
  };
  rw->write = [](SDL_RWops*, const void*, size_t, size_t) -> size_t { return 0; };
  rw->close = [](SDL_RWops* c) -> int {
    delete ReaderOf(c);
    SDL_FreeRW(c);
    return 0;
  };
  return rw;
}

}  // namespace plat
