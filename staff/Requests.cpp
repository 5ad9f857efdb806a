// Staff turns: which request an idle employee brings, and whether it makes
// sense right now (funds, room, something to warm, train or sell, stamina,
// and not something the employee has recently thought of).
#include "core/Form.h"

namespace pk {
namespace {

constexpr int kTired = 16;  // below this only a rest can be asked for

// Request code of each of the 23 rolls: 0 eggs, 1 feed, 2 train, 3 rest,
// 4 warm, 5 sell.
constexpr int kRollToRequest[23] = {0, 0, 1, 1, 2, 2, 2, 3, 4, 4, 5, 5,
                                    0, 5, 1, 2, 2, 4, 5, 4, 1, 2, 3};

// True when one of the pen cells 0..last (column k % 9, row k / 9) holds the
// stage. Cell 126 is (0, 14), outside the pen and always empty.
bool PenHas(Form1& f, int stage, int last) {
  for (int k = 0; k <= last; ++k)
    if (f.PikoraSyu(k % 9, k / 9) == stage) return true;
  return false;
}

// Records the consideration of code c and tells whether it is still blocked by
// one of the four considerations before it.
bool RecordAndBlocked(Form1& f, int c) {
  f.KiokuZurasi(c);
  for (int slot = 1; slot <= 4; ++slot)
    if (f.Jkioku(f.Jnow, slot) == c) return true;
  return false;
}

// The employee asks: the clock stops until the player answers.
void Raise(Form1& f, int c) {
  f.Jsigoto(f.Jnow) = c;
  f.MsgHyouji();
  f.Timer2.Interval(0);
  f.Mode = kAsking;
  f.Irai = 1;
}

}  // namespace

// Remembers a request the employee just thought of; the oldest of five is forgotten.
void Form1::KiokuZurasi(int PA) {
  for (int slot = 4; slot >= 1; --slot) Jkioku(Jnow, slot) = Jkioku(Jnow, slot - 1);
  Jkioku(Jnow, 0) = PA;
}

// One staff turn: the idle employee Jnow tries up to six random ideas and
// brings the first that can be carried out.
void Form1::JKoudou() {
  Irai = 0;
  for (int tries = 0; tries < 6; ++tries) {
    Ransu = int64_t(Rnd() * 23);
    const int c = kRollToRequest[Ransu];
    if (c != kRest && Jtairyoku(Jnow) < kTired) continue;
    switch (c) {
      case kBuyEggs: TamagoKau(); break;
      case kBuyFeed: EsaKau(); break;
      case kTrain: Kitaeru(); break;
      case kRest: Yasumi(); break;
      case kWarm: Atatame(); break;
      default: Uru(); break;
    }
    if (Irai == 1) return;
  }
}

// Buying eggs: one egg must be affordable and the pen not full.
void Form1::TamagoKau() {
  if (RecordAndBlocked(*this, kBuyEggs)) return;
  if (Sikin < Jnouryoku(Jnow, 0, 1)) return;
  if (PikoraKazu >= 105) return;
  if (!PenHas(*this, kEmpty, 126)) return;
  Raise(*this, kBuyEggs);
}

// Buying feed: one unit must be affordable; the stock itself is not looked at.
void Form1::EsaKau() {
  if (RecordAndBlocked(*this, kBuyFeed)) return;
  if (Sikin < Jnouryoku(Jnow, 1, 1)) return;
  Raise(*this, kBuyFeed);
}

// Training: an adult must stand in the front cells 0..104.
void Form1::Kitaeru() {
  if (RecordAndBlocked(*this, kTrain)) return;
  if (!PenHas(*this, kAdult, 104)) return;
  Raise(*this, kTrain);
}

// Resting: asked for by a tired employee, never remembered.
void Form1::Yasumi() {
  if (Jtairyoku(Jnow) < 80) Raise(*this, kRest);
}

// Warming: an egg must stand in the front cells 0..104.
void Form1::Atatame() {
  if (RecordAndBlocked(*this, kWarm)) return;
  if (!PenHas(*this, kEgg, 104)) return;
  Raise(*this, kWarm);
}

// Selling: nobody else may be out selling, and an adult must be anywhere in the pen.
void Form1::Uru() {
  if (RecordAndBlocked(*this, kSell)) return;
  for (int s = 0; s <= 3; ++s)
    if (Jsigoto(s) == kSell) return;
  if (!PenHas(*this, kAdult, 125)) return;
  Raise(*this, kSell);
}

}  // namespace pk
