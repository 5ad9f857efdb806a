#include "platform/sdl/Effects.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <vector>

#include "platform/sdl/AudioFiles.h"
#include "platform/Files.h"

namespace plat {
namespace {
// Larger files are no effect of this game, and would be read on the game's thread.
constexpr size_t kEffectLimit = size_t(8) << 20;
}  // namespace

void SaidOnce::operator()(const std::string& key, const std::string& message) {
  if (said_.insert(key).second) std::fprintf(stderr, "pikora: %s\n", message.c_str());
}

MixerDevice::MixerDevice(SaidOnce& say, int mixerFormats, int rate, int bufferFrames,
                         const std::function<void()>& beforeOpening)
    : rate_(rate) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    say("device", std::string("no audio device, playing silently: ") + SDL_GetError());
    return;
  }
  if (beforeOpening) beforeOpening();
  Mix_Init(mixerFormats);
  if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, bufferFrames) != 0) {
    say("device", std::string("cannot open the audio device, playing silently: ") + Mix_GetError());
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  int freq = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&freq, &format, &channels);
  rate_ = freq;
  frameBytes_ = channels * int(SDL_AUDIO_BITSIZE(format) / 8);
  Mix_AllocateChannels(1);
  Mix_ReserveChannels(1);
  Mix_SetPostMix(&MixerDevice::CountFrames, this);
  open_ = true;
}

MixerDevice::~MixerDevice() {
  if (!open_) return;
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// On the audio thread, under the mixer's own lock.
void MixerDevice::CountFrames(void* self, uint8_t*, int len) {
  auto* d = static_cast<MixerDevice*>(self);
  if (Mix_PlayingMusic() && !Mix_PausedMusic()) d->played += len / d->frameBytes_;
}

Mix_Chunk* Effects::Chunk(const std::string& path) {
  if (auto it = chunks_.find(path); it != chunks_.end()) return it->second;
  const FileRead file = ReadWholeFile(path, kEffectLimit);
  std::string why = !file.ok ? file.why : !IsWavData(file.bytes) ? "it is no WAV" : WavTrouble(file.bytes);
  Mix_Chunk* c = nullptr;
  if (why.empty()) c = Mix_LoadWAV_RW(SDL_RWFromConstMem(file.bytes.data(), int(file.bytes.size())), 1);
  if (!c) {
    if (why.empty()) why = std::string("the mixer cannot read it: ") + Mix_GetError();
    say_("effect:" + path, (file.missing ? "effect file missing" : "effect file refused (" + why + ")") +
                               ", beeping instead: " + path);
    if (!beep_) {
      std::vector<uint8_t> wav = DefaultBeepWav();
      beep_ = Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1);
    }
    c = beep_;
  }
  chunks_[path] = c;
  return c;
}

void Effects::Clear() {
  for (auto& [path, chunk] : chunks_)
    if (chunk != beep_) Mix_FreeChunk(chunk);
  if (beep_) Mix_FreeChunk(beep_);
  chunks_.clear();
  beep_ = nullptr;
}

}  // namespace plat
