// Bankruptcy: one employee, drawn at random, announces it in their own manner
// of speech; the next key ends the program.
#include <string>

#include "core/Form.h"

namespace pk {
namespace {

// Each speaker's announcement; they address the player as they do when asking.
const std::string kNews[4][5] = {
    {"キャプテ～ン！", "お金なくなっちゃったよ！", "もうダメだね！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
    {"…社長、", "資金がなくなりました", "倒産です…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
    {"おいおい、", "金がないぜ…", "倒産だよ…", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
    {"だんな！", "給料なしですかい？", "こりゃあ、おしまいだ！", "", "☆ｇａｍｅ　ｏｖｅｒ☆"},
};

}  // namespace

// The funds are gone: the music stops, a random employee says so with their
// face rising into the box, and the game waits for the last key.
void Form1::GameOver() {
  PlayM(1);
  CloseM();
  // Anyone may bring the news, whoever asked last or is away on a job.
  Ransu = int64_t(Rnd() * 4);
  WriteMessage(kNews[Ransu]);
  Play(1);
  FaceRise(int(Ransu), 30);
  Timer2.Interval(0);
  Mode = kBankrupt;
}

}  // namespace pk
