// The game window: the game record and every procedure of the game. Start
// here: each field and procedure has a line on what it does for the player
// and the file it lives in. Procedures share state through the record's
// fields, never through arguments. Names marked [port] are this port's own;
// every other name is the original game's.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/Checked.h"
#include "platform/Platform.h"
#include "screen/Look.h"

namespace pk {

// Job codes: they index the job labels, the wages, the request kinds of the
// dialogue and the staff's memory.
enum Job : int { kBuyEggs = 0, kBuyFeed = 1, kTrain = 2, kRest = 3, kWarm = 4, kSell = 5, kIdle = 6 };
// Stage codes of a pen cell.
enum Stage : int { kEgg = 0, kYoung1 = 1, kYoung2 = 2, kYoung3 = 3, kAdult = 4, kEmpty = 5 };
// Values of Mode.
enum GameMode : int { kPlaying = 0, kAsking = 1, kBankrupt = 2, kEndRoll = 3 };
// [port] Each employee's name as the catalogues know the speaker of a message.
inline constexpr const char* kSpeaker[4] = {"Shopin", "Misa", "Kushuri", "Pau"};

// [port] Where a record field's value comes from. Play makes almost all of
// them, alike on every machine for the same seed and inputs. The program's
// folder and the text colours are given at start-up by the machine and by the
// game's look, not by play: the replay digest leaves them out, so that a game
// recorded on one machine (or before the colours were retouched) verifies on
// another. The folder differs even between the window and the blind twin.
enum class FieldKind { kPlay, kGiven };

// [port] Thrown to end the program at once: nothing after it runs and no
// further event is handled. The event loop turns it into a normal exit.
struct ProgramEnd {};

// Timer1 and Timer2: an interval timer controlled by its interval alone: 0
// stops it, a positive value runs it, and setting a value starts a fresh period.
class Timer {
 public:
  explicit Timer(plat::Platform& p) : p_(p) {}
  void Interval(int ms) { interval_ = ms; start_ = p_.Ticks(); }
  int Interval() const { return interval_; }
  // Milliseconds until due (<= 0: due now); only meaningful while running.
  int64_t DueIn() const { return int64_t(interval_) - int64_t(uint32_t(p_.Ticks() - start_)); }
  // After a fire: the next period follows the last; a late handler does not
  // pile up fires, it gets one and the period restarts from now.
  void Fired() {
    start_ += uint32_t(interval_);
    if (int64_t(uint32_t(p_.Ticks() - start_)) > interval_) start_ = p_.Ticks();
  }

 private:
  plat::Platform& p_;
  int interval_ = 0;
  uint32_t start_ = 0;
};

class Form1 {
 public:
  explicit Form1(plat::Platform& p);

  // ---------------------------------------------------------------- record
  // Filled by HenSyoki (core/HenSyoki.cpp) and, for the staff, by SetMsg and
  // Jtouroku (staff/Roster.cpp). Every field is range-tested (core/Checked.h).
  Arr<std::string, 5> Jname;                   // the four employees' names
  Arr<Byte, 5> Jsigoto;                        // each employee's job code; kIdle when free
  Arr<std::string, 5, 10, 5> Jmsg;             // what each employee says: (employee, kind, line)
  Arr<std::string, 10> SigotoMei;              // the staff panel's job labels, by job code
  Arr<I16, 5> Jtairyoku;                       // stamina 0..100; below 16 only a rest is asked for
  Byte Jnow;                                   // the employee asking, answered or coming back
  Arr<Byte, 5> Jkeika;                         // ticks worked on the current job
  Arr<Byte, 5> Jhirou;                         // the fixed part of a job's toll on stamina
  Arr<Byte, 5, 6> Jkioku;                      // each employee's memory of recent ideas, newest first
  Arr<Byte, 5> Jkikan;                         // the current job's length in ticks
  Arr<I16, 5, 6, 2> Jnouryoku;                 // powers, trip amounts and prices: (employee, job, 0/1)
  Byte KaimonoKazu;                            // the purchase selector 1..5: 10 eggs or 1000 feed each
  I16 Jikan;                                   // time left in tenths of the status panel's unit
  I32 Sikin;                                   // funds; below zero the company is bankrupt
  I32 Esa;                                     // feed, in single rations
  I16 Score;                                   // raised by sales; above 9999 the high-score ending
  Arr<Byte, 7> Kyuryo;                         // wage per tick by job code
  Arr<Byte, 10, 15> PikoraSyu;                 // stage of each pen cell (column, row)
  Arr<I16, 10, 15> PikoraHp;                   // fullness of each occupant
  Arr<I16, 10, 15> PikoraLv;                   // warmth of an egg, growth of the young, strength of an adult
  Arr<Byte, 5, 3> PikoraChip;                  // chip shown by stage and pose (0 or 2)
  I16 AniFlip;                                 // -1 or +1: the pen's pose is AniFlip + 1
  I16 PikoraKazu;                              // occupied cells of the pen
  Byte PenI;                                   // column of the pen walk under way (the shake reads it)
  Byte PenJ;                                   // row of the pen walk under way
  I16 ChipNo;                                  // the chip being shaken
  I16 PosX;                                    // pixel x of the chip last put or shaken
  I16 PosY;                                    // pixel y of the chip last put or shaken
  I16 I;                                       // shared loop counter
  I16 J;                                       // second shared loop counter
  I16 EDflag;                                  // the ending roll found a grown creature to sell
  I16 Ransu;                                   // the last random draw: a staff slot, a request roll, a speaker
  std::string AppPath;                         // the program's folder, ending in one separator
  plat::Color Iro1 = 0;                        // light text colour (screen/Look.h)
  plat::Color Iro2 = 0;                        // dark text colour
  Byte Mode;                                   // kPlaying, kAsking, kBankrupt or kEndRoll
  Byte EDpage;                                 // the page of the ending roll shown
  Byte Irai;                                   // the staff turn under way has raised a request

  // [port] Every field above, once, in order, with its name, as
  // v(name, field, kind); an array is one field. The range checks' names,
  // the replay digest (replay/Tapes.cpp) and the tests' dump all come from
  // this list, so a field added above goes here too (a test finds the gap).
  template <class V>
  void EachField(V&& v) {
#define PK_PLAY(x) v(#x, x, FieldKind::kPlay)
#define PK_GIVEN(x) v(#x, x, FieldKind::kGiven)
    PK_PLAY(Jname), PK_PLAY(Jsigoto), PK_PLAY(Jmsg), PK_PLAY(SigotoMei), PK_PLAY(Jtairyoku), PK_PLAY(Jnow);
    PK_PLAY(Jkeika), PK_PLAY(Jhirou), PK_PLAY(Jkioku), PK_PLAY(Jkikan), PK_PLAY(Jnouryoku);
    PK_PLAY(KaimonoKazu), PK_PLAY(Jikan), PK_PLAY(Sikin), PK_PLAY(Esa), PK_PLAY(Score), PK_PLAY(Kyuryo);
    PK_PLAY(PikoraSyu), PK_PLAY(PikoraHp), PK_PLAY(PikoraLv), PK_PLAY(PikoraChip), PK_PLAY(AniFlip);
    PK_PLAY(PikoraKazu), PK_PLAY(PenI), PK_PLAY(PenJ), PK_PLAY(ChipNo), PK_PLAY(PosX), PK_PLAY(PosY);
    PK_PLAY(I), PK_PLAY(J), PK_PLAY(EDflag), PK_PLAY(Ransu);
    PK_GIVEN(AppPath), PK_GIVEN(Iro1), PK_GIVEN(Iro2);
    PK_PLAY(Mode), PK_PLAY(EDpage), PK_PLAY(Irai);
#undef PK_PLAY
#undef PK_GIVEN
  }
  template <class V>
  void EachField(V&& v) const {  // the same list, read only
    const_cast<Form1*>(this)->EachField([&](const char* name, auto& x, FieldKind k) { v(name, std::as_const(x), k); });
  }

  // ------------------------------------------------- controls of the window
  plat::Platform& P;  // [port] the machine: drawing, sound, keys, time
  Timer Timer1;       // the intro's one-shot timer
  Timer Timer2;       // the main tick, every 500 ms while the game runs
  plat::Surface& Display(int i) { return P.Display(i); }  // 0 seen, 1 composing, 2 background
  const plat::Surface& Chip() const { return P.Picture(look::kChip); }           // the tile sheet
  const plat::Surface& Face(int i) const { return P.Picture(look::kFace0 + i); }  // staff 0..3, logo 4, owner 5
  const plat::Surface& Rogo() const { return P.Picture(look::kRogo); }           // the makers' logo at start-up
  const plat::Surface& EndP(int i) const { return P.Picture(look::kEndP0 + i); }  // closing pictures: 0 high score, 1 plain

  // ---------------------------------------------------------- core/
  void Form_Load();       // start-up: blank surfaces, a new game, both timers armed (MainTick.cpp)
  void HenSyoki();        // fills the record for a new game (HenSyoki.cpp)
  void Timer2_Timer();    // one main tick: pen, wages, jobs, a staff turn, growth, feeding, end checks (MainTick.cpp)
  void Ueito(int64_t PA); // waits more than PA ms, showing what was drawn, taking no event (Window.cpp)
  void Display_KeyDown(int KeyCode);  // the player's keys, by Mode (Input.cpp)
  void Display_Click();               // a click on the play area quits (Input.cpp)
  void QuitSequence();                // [port] silence, stop and close the music, end (Input.cpp)
  [[noreturn]] void End();            // [port] ends the program at once (Window.cpp)
  double Rnd();                       // a uniform random number in [0, 1), from the game's seed (Form.cpp)
  void TrainingPass(int s);  // [port] employee s trains the adults for one tick (PenStep.cpp)
  void WarmingPass(int s);   // [port] employee s warms the eggs for one tick (PenStep.cpp)
  void GrowthPass();         // [port] eggs hatch and young creatures grow (PenStep.cpp)
  void FeedingPass();        // [port] every hatched creature eats a ration or goes hungry (PenStep.cpp)
  int Run();                 // [port] runs the window until the program ends; the exit status (Window.cpp)
  bool Step();               // [port] one turn of the event loop; false once nothing can happen (Window.cpp)
  bool Ended() const { return ended_; }  // [port]

  // ---------------------------------------------------------- screen/
  void PutChip(int PA, int PX, int PY, int PB);           // chip PB into cell (PX, PY) of surface PA (Chips.cpp)
  void MojiSyu(int PA, int PB, int PC, plat::Color PL);  // text size, bold when PC is 1, colour (Text.cpp)
  void Locate(int PA, int PX, int PY, const std::string& PS);  // prints a text at (PX, PY) (Text.cpp)
  void Locate(int PA, int PX, int PY, int64_t PS);             // prints a number: " 12", "-3" (Text.cpp)
  void Tunagi(int PA, int PB);                            // copies all of surface PA onto PB (Chips.cpp)
  void Dodai();                                           // the base screen on the background (Chips.cpp)
  void MakeWaku(int PX, int PY, int PXX, int PYY);        // a window frame on the background (Chips.cpp)
  void MakePikora(int PX, int PY, int PXX, int PYY);      // the pen's frame on the background (Chips.cpp)
  void MakeSt();      // the status panel's labels, once, into the background (Panels.cpp)
  void Sthyouji();    // the status panel: time, score, funds, feed (Panels.cpp)
  int64_t ShownJikan() const;  // the time left as the status panel shows it (Panels.cpp)
  void KaimonoWin();  // the shop window: what the next purchases buy (Panels.cpp)
  void MsgHyouji();   // a request's lines, its chime, the face rising (Panels.cpp)
  void BuruBuru();    // a creature trembles before it changes stage (Panels.cpp)
  // [port] Five lines in the message area in the player's language: lines
  // 0..3 are what `who` says, translated as one message, line 4 (the prompt
  // or the page's mark) on its own (Dialogue.cpp).
  void WriteMessage(const char* who, const std::string (&lines)[5]);
  void WriteWords(const char* who, std::string_view words, const char* last);  // [port] the same from one message of lines joined by "\n" (Dialogue.cpp)
  std::string Tr(const char* context, const std::string& text);  // [port] a text in the player's language (Dialogue.cpp)
  void Retell();      // [port] the player chose another language: every word on screen drawn again in it, no field changed (Retell.cpp)
  void FaceRise(int face, int waitMs);                // [port] a face slides up into the box (Dialogue.cpp)
  void FaceSink(int face);                            // [port] a face sinks; box and message blanked (Dialogue.cpp)

  // ----------------------------------------------------------- staff/
  void SetMsg();       // every line the staff say (Roster.cpp)
  void Jtouroku();     // names, labels, strengths and prices of the four (Roster.cpp)
  void KiokuZurasi(int PA);  // remembers idea PA for employee Jnow (Requests.cpp)
  void JKoudou();      // a staff turn: employee Jnow may come with a request (Requests.cpp)
  void TamagoKau();    // asks to buy eggs, if money and room allow (Requests.cpp)
  void EsaKau();       // asks to buy feed, if money allows (Requests.cpp)
  void Kitaeru();      // asks to train the adults, if there are any (Requests.cpp)
  void Yasumi();       // asks for a rest, if tired (Requests.cpp)
  void Atatame();      // asks to warm the eggs, if there are any (Requests.cpp)
  void Uru();          // asks to sell the adults, if nobody else is selling (Requests.cpp)
  void MakeJnow();     // the staff panel: names, stamina, jobs (StaffPanel.cpp)
  void Kyoka();        // the request is permitted: a job begins (Answers.cpp)
  void Dame();         // the request is refused: time is lost unless it was a rest (Answers.cpp)
  void Tadaima();      // an employee comes back from a job (Answers.cpp)
  void ByeKao();       // the returning employee's face leaves (Answers.cpp)
  void SigotoEnd();    // a finished job's result: eggs, feed, rest or a sale (Jobs.cpp)

  // ------------------------------------------------------- creatures/
  void PetHyouji();    // draws the pen's occupants in the current pose (Pen.cpp)
  void Pikora();       // sells every grown creature at employee Jnow's prices (Pen.cpp)

  // ----------------------------------------------------------- sound/
  void OpenM(int PA);  // opens the background music (Music.cpp)
  void PlayM(int PA);  // 0 plays it, 1 stops it, 2 rewinds it (Music.cpp)
  void CloseM();       // closes the music (Music.cpp)
  void Mjyoutai();     // a finished tune starts again from its top (Music.cpp)
  void Play(int PA);   // plays effect PA, cutting off the one still sounding (Music.cpp)
  void StopEffect();   // [port] silences the effect still sounding (Music.cpp)

  // ---------------------------------------------------------- scenes/
  void Timer1_Timer(); // the intro: logo, title, music, play screen (Intro.cpp)
  void SyokiGamen();   // draws the play screen with its frames and panels (Intro.cpp)
  void Ending();       // the owner is back: the ending roll begins (Ending.cpp)
  void EDmoji(int PA); // one page of the ending roll (Ending.cpp)
  void WriteGreeting();    // [port] the owner's greeting in the message area (Ending.cpp)
  void WritePage(int p);   // [port] the words of page p of the roll, for the score of now (Ending.cpp)
  void GameOver();     // bankruptcy: an employee says so; the next key ends (GameOver.cpp)
  void WriteNews();    // [port] employee Ransu's news of the bankruptcy in the message area (GameOver.cpp)

 private:
  uint64_t rng_ = 0;
  bool ended_ = false;
};

}  // namespace pk
