// The owner comes back from his vacation: his greeting, then the ending roll,
// one page per key, with the sale of the grown creatures left in the pen and a
// closing picture chosen by the score.
#include <array>

#include "core/Form.h"
#include "platform/Catalogue.h"

namespace pk {
namespace {

// A page of the message area: up to four lines of words (one message for the
// catalogues, lines joined by "\n") and a last line, the mark that a key
// turns the page.
struct Page {
  const char* who;
  const char* words;
  const char* mark;
};

// TRANSLATORS: the owner, breezy, back from his long vacation, and his
// comments on the pages of the ending roll.
const Page kGreeting{"owner", NC_("owner", "おっす！ただいま\nどう？がんばってる？"),
                     // TRANSLATORS: the mark that a key turns the page.
                     NC_("message", "    ▼")};

// The pages of the roll for the score of this moment: above 9999 the owner's
// comments on pages 3 to 6 change.
std::array<Page, 11> MakeRoll(bool highScore) {
  const char* more = NC_("message", "     ▼");
  std::array<Page, 11> t;
  t.fill(Page{"owner", "", ""});
  t[1] = {"owner", NC_("owner", "まあ、倒産してない\nところをみると\nがんばってくれた\nみたいだね"), more};
  t[2] = {"owner", NC_("owner", "残っている\nピコラは\n売っちゃうおうね"), more};
  t[3] = {"owner", NC_("owner", "ホントに\nよくやってくれたね"), more};
  t[4] = {"owner", NC_("owner", "おかげで\n素敵なバカンスを\n満喫できたよ"), more};
  t[5] = {"owner", NC_("owner", "また\nよろしくたのむよ"), more};
  t[6] = {"owner", NC_("owner", "…さーて、\n働こっかな！"), more};
  // TRANSLATORS: the credits: the date and the maker's line stay as they are.
  t[7] = {"credits", NC_("credits", "\n.....2000.7.27"), more};
  t[8] = {"credits", NC_("credits", "\n.....ＬｏｏｍＺ"), more};
  t[9] = {"credits", NC_("credits", "\n.....おしまい ☆"), ""};
  if (highScore) {
    // TRANSLATORS: with a score over 9999 the owner is caught by surprise.
    t[3] = {"owner", NC_("owner", "…\nえ…？\n…あれ？"), more};
    t[4] = {"owner", NC_("owner", "おいおい…！\nすごいじゃないか！"), more};
    t[5] = {"owner", NC_("owner", "こりゃーまいった！\n…\nこうなったら…"), more};
    t[6] = {"owner", NC_("owner", "また長期休暇\nとりま～す！"), more};
  }
  return t;
}

}  // namespace

void Form1::WriteGreeting() { WriteWords(kGreeting.who, kGreeting.words, kGreeting.mark); }

// Built afresh for every page: a sale on page 2 may lift the score over 9999
// and so change the later pages and the picture.
void Form1::WritePage(int p) {
  const Page page = MakeRoll(Score > 9999)[p];
  WriteWords(page.who, page.words, page.mark);
}

// The time is up: the music stops, the owner greets the player with his face
// rising into the box, and the keys now turn the pages of the roll.
void Form1::Ending() {
  PlayM(1);
  CloseM();
  EDpage = 0;
  WriteGreeting();
  Play(1);
  FaceRise(5, 30);
  Timer2.Interval(0);
  Mode = kEndRoll;
}

// Shows the page EDpage of the roll: the sale on page 2, the skip of the sale
// when no grown creature is left, the logo on page 7, the closing picture on 9.
void Form1::EDmoji(int) {
  const int p = int(EDpage);
  WritePage(p);

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
