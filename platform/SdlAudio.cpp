// Sound on the real platform. Silent until the mixer is wired in.
#include "platform/SdlPlatform.h"

namespace plat {
namespace {
class SilentAudio : public Audio {
 public:
  void MusicOpen(const std::string&) override {}
  void MusicPlay() override {}
  void MusicStop() override {}
  void MusicRewind() override {}
  void MusicClose() override {}
  std::string MusicMode() override { return ""; }
  void Effect(const std::string&) override {}
  void EffectSilence() override {}
};
}  // namespace

std::unique_ptr<Audio> MakeSdlAudio(const std::string&) { return std::make_unique<SilentAudio>(); }
}  // namespace plat
