// The player's answer to a request, and employees coming back.
#include "core/Form.h"

namespace pk {
namespace {
// Job lengths in ticks by code; a rest lasts as long as the employee needs.
constexpr int kJobLength[6] = {15, 12, 20, 0, 20, 30};
}  // namespace

// Employee Jnow says line kind m (7 permitted, 8 refused, 9 back) in the message area.
static void Say(Form1& f, int m) {
  std::string lines[5];
  for (int l = 0; l <= 4; ++l) lines[l] = f.Jmsg(f.Jnow, m, l);
  f.WriteMessage(kSpeaker[f.Jnow], lines);
}

// Permitted: the request becomes a job of its length; a purchase takes the
// amount selected now. The employee answers, leaves, and forgets old ideas.
void Form1::Kyoka() {
  const int c = int(Jsigoto(Jnow));
  if (c > kSell) Fatal("Kyoka: no request is waiting");
  Jkikan(Jnow) = c == kRest ? int64_t(Jnouryoku(Jnow, 3, 0)) : kJobLength[c];
  if (c == kBuyEggs || c == kBuyFeed) Jnouryoku(Jnow, c, 0) = KaimonoKazu * 10;
  Say(*this, 7);
  FaceSink(Jnow);
  MakeJnow();
  for (int slot = 0; slot <= 5; ++slot) Jkioku(Jnow, slot) = kIdle;
}

// Refused: time is lost unless the employee only wanted a rest; the request
// stays in the employee's memory.
void Form1::Dame() {
  if (Jsigoto(Jnow) != kRest) Jikan -= 35;
  Jsigoto(Jnow) = kIdle;
  Say(*this, 8);
  FaceSink(Jnow);
}

// Back from the job: the return line, a chime and the face rising.
void Form1::Tadaima() {
  Say(*this, 9);
  Play(1);
  FaceRise(Jnow, 30);
}

// After the job is booked the face stays a moment, then sinks away.
void Form1::ByeKao() {
  Ueito(400);
  FaceSink(Jnow);
}

}  // namespace pk
