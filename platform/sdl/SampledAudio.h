// Music and effects for the web page and Windows, through SDL2_mixer with no
// thread and no synthesiser: the tune was made into samples ahead of time, as the desktop
// game makes it when its music opens, and travels compressed beside its MIDI
// file (bg/bg1.mid, bg/bg1.ogg). The MIDI file still gives the piece's length,
// so its end is judged as on the desktop. Nothing here needs a browser: the
// desktop tests play it through SDL's disk driver.
#pragma once
#include <memory>
#include <string>

#include "platform/sdl/SdlPlatform.h"

namespace plat {

std::unique_ptr<SdlAudio> MakeSampledAudio();

// Where the samples made from a piece are: its path with .ogg for its extension.
std::string MadeTunePath(const std::string& piece);

}  // namespace plat
