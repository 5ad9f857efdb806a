// The status panel, the shop window, the message area and the shake.
#include <string>

#include "core/Form.h"
#include "platform/Catalogue.h"

namespace pk {
namespace {
// Refresh rectangles: only these are copied back to the screen, so text
// running past their edges is cut off there.
constexpr int kStX = 130, kStY = 60, kStW = 100, kStH = 150;
constexpr int kShopX = 224, kShopY = 32, kShopW = 128, kShopH = 160;
constexpr int kRows[4] = {66, 101, 136, 171};

// Whole part rounded down, so a tenth below zero already shows -1.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

// Writes the four status labels into the background, once at the start.
void Form1::MakeSt() {
  // TRANSLATORS: the status panel's labels, before their values: time
  // left, score, funds, feed.
  const char* const labels[4] = {NC_("status", "時間"), NC_("status", "スコア"), NC_("status", "資金"),
                                 NC_("status", "えさ")};
  for (int k = 0; k <= 3; ++k) {
    MojiSyu(2, 13, 1, Iro1);
    Locate(2, 60, kRows[k], Tr("status", labels[k]));
    MojiSyu(2, 13, 1, Iro2);
    Locate(2, 61, kRows[k] + 1, Tr("status", labels[k]));
  }
}

int64_t Form1::ShownJikan() const { return FloorDiv(Jikan, 10); }

// Shows time, score, funds and feed as they stand now.
void Form1::Sthyouji() {
  Display(1).Copy(kStX, kStY, kStW, kStH, Display(2), kStX, kStY);
  const int64_t values[4] = {ShownJikan(), Score, Sikin, Esa};
  for (int k = 0; k <= 3; ++k) {
    MojiSyu(1, 13, 1, Iro1);
    Locate(1, 130, kRows[k], values[k]);
    MojiSyu(1, 13, 1, Iro2);
    Locate(1, 131, kRows[k] + 1, values[k]);
  }
  Display(0).Copy(kStX, kStY, kStW, kStH, Display(1), kStX, kStY);
}

// Shows how many eggs and how much feed the next purchase will bring.
void Form1::KaimonoWin() {
  Display(1).Copy(kShopX, kShopY, kShopW, kShopH, Display(2), kShopX, kShopY);
  const int64_t eggs = int64_t(KaimonoKazu) * 10, feed = int64_t(KaimonoKazu) * 1000;
  for (int pass = 0; pass <= 1; ++pass) {
    MojiSyu(1, 12, 1, pass == 0 ? Iro1 : Iro2);
    // TRANSLATORS: the shop window's labels, before the amounts that the
    // next purchase buys: eggs, feed.
    Locate(1, 250 + pass, 68 + pass, Tr("shop", NC_("shop", "ﾀﾏｺﾞ")));
    Locate(1, 300 + pass, 68 + pass, eggs);
    Locate(1, 250 + pass, 168 + pass, Tr("shop", NC_("shop", "えさ")));
    Locate(1, 300 + pass, 168 + pass, feed);
  }
  Display(0).Copy(kShopX, kShopY, kShopW, kShopH, Display(1), kShopX, kShopY);
}

// The employee being served says what they ask for, and their face rises.
void Form1::MsgHyouji() {
  std::string lines[5];
  for (int k = 0; k <= 4; ++k) lines[k] = Jmsg(Jnow, Jsigoto(Jnow), k);
  WriteMessage(kSpeaker[Jnow], lines);
  Play(1);
  FaceRise(int(Jnow), 30);
}

// The creature in pen cell (PenI, PenJ) trembles before it changes stage.
void Form1::BuruBuru() {
  ChipNo = PikoraChip(PikoraSyu(PenI, PenJ), 0);
  PosX = (PenI + 13) * 32;
  PosY = (PenJ + 2) * 32;
  const int sx = int(ChipNo % 6) * 32, sy = int(ChipNo / 6) * 32;
  for (int n = 1; n <= 4; ++n) {
    const int dx = int(Rnd() * 6) - 3;
    const int dy = int(Rnd() * 6) - 3;
    Display(0).Copy(int(PosX) + dx, int(PosY) + dy, 32, 32, Chip(), sx, sy);
    Ueito(20);
  }
}

}  // namespace pk
