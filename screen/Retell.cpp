// Another language, chosen on the pause screen: every word on the screen is
// drawn again in it, and nothing else changes, neither the pen nor a face nor
// any field of the record. What the game draws later comes in the new
// language by itself, as every text is looked up where it is drawn.
#include "core/Form.h"

namespace pk {

void Form1::Retell() {
  // Before the play screen stands the intro is still to draw it, in the new
  // language; the title it may show is gone a moment later.
  if (Timer1.Interval() != 0) return;
  // The status labels live in the background: their frame is drawn anew
  // under them. PutChip leaves the cell it drew in PosX and PosY, which are
  // the record's, so they are put back as they were.
  const int64_t posX = PosX, posY = PosY;
  MakeWaku(1, 1, 6, 6);
  MakeSt();
  PosX = posX;
  PosY = posY;
  // Only the labels' side goes to the screen: the values stay as last shown
  // (a refusal's lost time shows at the next tick, words or no words).
  Display(1).Copy(32, 32, 130 - 32, 192, Display(2), 32, 32);
  Display(0).Copy(32, 32, 130 - 32, 192, Display(1), 32, 32);
  KaimonoWin();
  // While a request waits the panel still shows the asker idle, as before
  // the question; the field is put back at once.
  const int asked = int(Jsigoto(Jnow));
  if (Mode == kAsking) Jsigoto(Jnow) = kIdle;
  MakeJnow();
  Jsigoto(Jnow) = asked;
  // The message area as the mode left it. The face box beside it holds no
  // words: input comes only between handlers, when no face is on its way.
  switch (int(Mode)) {
    case kAsking: {
      std::string lines[5];
      for (int k = 0; k <= 4; ++k) lines[k] = Jmsg(Jnow, Jsigoto(Jnow), k);
      WriteMessage(kSpeaker[Jnow], lines);
      break;
    }
    case kBankrupt:
      WriteNews();
      break;
    case kEndRoll:
      // Without a grown creature page 1 moved EDpage on to 2 at once.
      if (EDpage == 0) WriteGreeting();
      else WritePage(EDpage == 2 && EDflag == 0 ? 1 : int(EDpage));
      break;
    default:
      break;  // between requests the message area is blank
  }
}

}  // namespace pk
