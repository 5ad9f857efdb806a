// The player's five keys and the click, by game mode.
#include "core/Form.h"

namespace pk {

// Leaving the game: silence the effect, stop and close the music, end at once.
void Form1::QuitSequence() {
  StopEffect();
  PlayM(1);
  CloseM();
  End();
}

// The player's keys: permit, refuse, the purchase amount and quit; during the
// ending roll any key turns the page, on the bankruptcy screen any key ends.
void Form1::Display_KeyDown(int KeyCode) {
  auto amountUp = [&] {
    if (KaimonoKazu == 5) return;
    Play(10);
    ++KaimonoKazu;
    KaimonoWin();
  };
  auto amountDown = [&] {
    if (KaimonoKazu == 1) return;
    Play(10);
    --KaimonoKazu;
    KaimonoWin();
  };

  switch (int(Mode)) {
    case kEndRoll:  // any key turns the page
      Play(3);
      ++EDpage;
      EDmoji(EDpage);
      if (EDpage == 10) {
        Ueito(500);
        End();
      }
      return;
    case kBankrupt:  // any key ends the program
      StopEffect();
      End();
      return;
    case kPlaying:
      if (KeyCode == plat::kKeyEscape) QuitSequence();
      else if (KeyCode == plat::kKeyUp) amountUp();
      else if (KeyCode == plat::kKeyDown) amountDown();
      return;
    case kAsking:
      Mjyoutai();  // every key while a request waits restarts a finished tune
      switch (KeyCode) {
        case plat::kKeyEscape:
          QuitSequence();
          return;
        case plat::kKeyLeft:
          Play(3);
          Kyoka();
          Jkeika(Jnow) = 0;
          Timer2.Interval(500);
          Mode = kPlaying;
          return;
        case plat::kKeyRight:
          Play(2);
          Dame();
          Timer2.Interval(500);
          Mode = kPlaying;
          return;
        case plat::kKeyUp:
          amountUp();
          return;
        case plat::kKeyDown:
          amountDown();
          return;
        default:
          return;
      }
    default:
      return;
  }
}

// A click on the play area ends the game at any moment.
void Form1::Display_Click() { QuitSequence(); }

}  // namespace pk
