// Background music and sound effects, through the platform's music device
// (one piece, known by one name) and its effect player.
#include "core/Form.h"

namespace pk {
namespace {
// Music by number; only the one piece exists.
const char* const kMusic[11] = {"", "bg/bg1.mid", "", "", "", "", "", "", "", "", ""};
// Effects by number; there is no effect 7. Names carry no extension: the
// format is told from the file's content.
const char* const kEffect[11] = {"", "se1", "se2", "se3", "se4", "se5", "se6", "", "se8", "se9", "se10"};
}  // namespace

// Opens the piece under the music device's one name.
void Form1::OpenM(int PA) {
  if (PA < 0 || PA > 10 || !*kMusic[PA]) return;
  P.Sound().MusicOpen(AppPath + kMusic[PA]);
}

// 0 plays once from where it stands, 1 stops, 2 rewinds to the start.
void Form1::PlayM(int PA) {
  switch (PA) {
    case 0: P.Sound().MusicPlay(); break;
    case 1: P.Sound().MusicStop(); break;
    case 2: P.Sound().MusicRewind(); break;
    default: break;
  }
}

void Form1::CloseM() { P.Sound().MusicClose(); }

// The tune loops only through this: a finished piece starts again from the top.
void Form1::Mjyoutai() {
  if (P.Sound().MusicMode() == "stopped") {
    PlayM(2);
    PlayM(0);
  }
}

// Plays an effect without waiting; it cuts off the one still sounding.
void Form1::Play(int PA) {
  if (PA < 0 || PA > 10 || !*kEffect[PA]) return;
  P.Sound().Effect(AppPath + "se/" + kEffect[PA]);
}

void Form1::StopEffect() { P.Sound().EffectSilence(); }

}  // namespace pk
