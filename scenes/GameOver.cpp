// Bankruptcy: one employee, drawn at random, announces it in their own manner
// of speech; the next key ends the program.
#include <string>

#include "core/Form.h"
#include "platform/Catalogue.h"

namespace pk {
namespace {

// Each speaker's announcement, one message of three lines; they address the
// player as they do when asking.
const char* const kNews[4] = {
    // TRANSLATORS: the company is bankrupt; one of the four says so.
    NC_("Shopin", "キャプテ～ン！\nお金なくなっちゃったよ！\nもうダメだね！"),
    NC_("Misa", "…社長、\n資金がなくなりました\n倒産です…"),
    NC_("Kushuri", "おいおい、\n金がないぜ…\n倒産だよ…"),
    NC_("Pau", "だんな！\n給料なしですかい？\nこりゃあ、おしまいだ！"),
};
// TRANSLATORS: the last line of the bankruptcy message.
const char* const kGameOver = NC_("message", "☆ｇａｍｅ　ｏｖｅｒ☆");

}  // namespace

// The funds are gone: the music stops, a random employee says so with their
// face rising into the box, and the game waits for the last key.
void Form1::GameOver() {
  PlayM(1);
  CloseM();
  // Anyone may bring the news, whoever asked last or is away on a job.
  Ransu = int64_t(Rnd() * 4);
  WriteNews();
  Play(1);
  FaceRise(int(Ransu), 30);
  Timer2.Interval(0);
  Mode = kBankrupt;
}

void Form1::WriteNews() { WriteWords(kSpeaker[Ransu], kNews[Ransu], kGameOver); }

}  // namespace pk
