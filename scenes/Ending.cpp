// The owner comes back from his vacation: his greeting, then the ending roll,
// one page per key, with the sale of the grown creatures left in the pen and a
// closing picture chosen by the score.
#include <array>
#include <string>

#include "core/Form.h"

namespace pk {
namespace {

using Roll = std::array<std::array<std::string, 5>, 11>;

const std::string kGreeting[5] = {"おっす！ただいま", "どう？がんばってる？", "", "", "    ▼"};

// The pages of the roll for the score of this moment: above 9999 the owner's
// comments on pages 3 to 6 change.
Roll MakeRoll(bool highScore) {
  const std::string more = "     ▼";
  Roll t{};
  t[1] = {"まあ、倒産してない", "ところをみると", "がんばってくれた", "みたいだね", more};
  t[2] = {"残っている", "ピコラは", "売っちゃうおうね", "", more};
  t[3] = {"ホントに", "よくやってくれたね", "", "", more};
  t[4] = {"おかげで", "素敵なバカンスを", "満喫できたよ", "", more};
  t[5] = {"また", "よろしくたのむよ", "", "", more};
  t[6] = {"…さーて、", "働こっかな！", "", "", more};
  t[7] = {"", ".....2000.7.27", "", "", more};
  t[8] = {"", ".....ＬｏｏｍＺ", "", "", more};
  t[9] = {"", ".....おしまい ☆", "", "", ""};
  if (highScore) {
    t[3] = {"…", "え…？", "…あれ？", "", more};
    t[4] = {"おいおい…！", "すごいじゃないか！", "", "", more};
    t[5] = {"こりゃーまいった！", "…", "こうなったら…", "", more};
    t[6] = {"また長期休暇", "とりま～す！", "", "", more};
  }
  return t;
}

}  // namespace

// The time is up: the music stops, the owner greets the player with his face
// rising into the box, and the keys now turn the pages of the roll.
void Form1::Ending() {
  PlayM(1);
  CloseM();
  EDpage = 0;
  WriteMessage(kGreeting);
  Play(1);
  FaceRise(5, 30);
  Timer2.Interval(0);
  Mode = kEndRoll;
}

// Shows the page EDpage of the roll: the sale on page 2, the skip of the sale
// when no grown creature is left, the logo on page 7, the closing picture on 9.
void Form1::EDmoji(int) {
  const int p = int(EDpage);
  // Built afresh for every page: a sale on page 2 may lift the score over
  // 9999 and so change the later pages and the picture.
  const Roll roll = MakeRoll(Score > 9999);
  std::string lines[5];
  for (int n = 0; n <= 4; ++n) lines[n] = roll[p][n];
  WriteMessage(lines);

  if (p == 2) {
    Ueito(500);
    Jnow = 3;  // the remaining creatures go at the prices パウ would get
    Pikora();
  }
  // After the sale test, so a skip never sells in the same call.
  if (p == 1) {
    EDflag = 0;
    for (I = 0; I <= 8; ++I)
      for (J = 0; J <= 13; ++J)
        if (PikoraSyu(I, J) == kAdult) EDflag = 1;
    if (EDflag == 0) ++EDpage;
  }
  if (p == 7) FaceRise(4, 120);
  if (p == 9) {
    // The left half gets its own right border; the pen side goes black and
    // the closing picture rises out of the line y = 467.
    PutChip(0, 12, 0, 2);
    for (I = 1; I <= 16; ++I) PutChip(0, 12, int(I), 8);
    PutChip(0, 12, 17, 14);
    Display(0).Box(416, 0, 768, 576, 0, true);
    const plat::Surface& pic = EndP(Score > 9999 ? 0 : 1);
    for (I = 10; I <= 337; I += 20) {
      Display(0).Copy(465, 467 - int(I), 260, int(I), pic, 0, 0);
      Ueito(50);
    }
  }
}

}  // namespace pk
