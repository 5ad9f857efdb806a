// The game window: the game record and every procedure of the game, defined
// across the subsystem folders (core, screen, staff, creatures, sound, scenes).
// Procedures share state through the record's fields, never through arguments.
#pragma once
#include <cstdint>
#include <string>

#include "core/Checked.h"
#include "platform/Platform.h"

namespace pk {

// Thrown to end the program at once: nothing after it runs and no further
// event is handled. The event loop turns it into a normal exit.
struct ProgramEnd {};

// An interval timer controlled by its interval alone: 0 stops it, a positive
// value runs it, and setting a value starts a fresh period.
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
  Arr<std::string, 5> Jname{"Jname"};
  Arr<Byte, 5> Jsigoto{"Jsigoto"};
  Arr<std::string, 5, 10, 5> Jmsg{"Jmsg"};
  Arr<std::string, 10> SigotoMei{"SigotoMei"};
  Arr<I16, 5> Jtairyoku{"Jtairyoku"};
  Byte Jnow;
  Arr<Byte, 5> Jkeika{"Jkeika"};
  Arr<Byte, 5> Jhirou{"Jhirou"};
  Arr<Byte, 5, 6> Jkioku{"Jkioku"};
  Arr<Byte, 5> Jkikan{"Jkikan"};
  Arr<I16, 5, 6, 2> Jnouryoku{"Jnouryoku"};
  Byte KaimonoKazu;
  I16 Jikan;
  I32 Sikin;
  I32 Esa;
  I16 Score;
  Arr<Byte, 7> Kyuryo{"Kyuryo"};
  Arr<Byte, 10, 15> PikoraSyu{"PikoraSyu"};
  Arr<I16, 10, 15> PikoraHp{"PikoraHp"};
  Arr<I16, 10, 15> PikoraLv{"PikoraLv"};
  Arr<Byte, 5, 3> PikoraChip{"PikoraChip"};
  I16 AniFlip;
  I16 PikoraKazu;
  Byte PenI;
  Byte PenJ;
  I16 ChipNo;
  I16 PosX;
  I16 PosY;
  I16 I;
  I16 J;
  I16 EDflag;
  I16 Ransu;
  std::string AppPath;
  plat::Color Iro1 = 0;
  plat::Color Iro2 = 0;
  Byte Mode;
  Byte EDpage;
  Byte Irai;

  // ------------------------------------------------- controls of the window
  plat::Platform& P;
  Timer Timer1;
  Timer Timer2;
  plat::Surface& Display(int i) { return P.Display(i); }
  const plat::Surface& Chip() const { return P.Pics().Chip; }
  const plat::Surface& Face(int i) const { return P.Pics().Face[i]; }
  const plat::Surface& Rogo() const { return P.Pics().Rogo; }
  const plat::Surface& EndP(int i) const { return P.Pics().EndP[i]; }

  // ------------------------------------------------------------------ core
  void Form_Load();       // sizes the surfaces, fills the record, arms the timers
  void HenSyoki();        // fills the game record for a new game
  void Timer2_Timer();    // one main tick: the pen, wages, jobs, a staff turn, growth
  void Ueito(int64_t PA); // waits more than PA ms, showing what was drawn, taking no event
  void Display_KeyDown(int KeyCode);  // the player's keys, by Mode
  void Display_Click();               // a click on the play area quits
  void QuitSequence();                // silence, stop the music, end
  [[noreturn]] void End();            // ends the program at once
  double Rnd();                       // uniform in [0, 1), never 1
  void TrainingPass(int s);  // an employee trains the adults for one tick
  void WarmingPass(int s);   // an employee warms the eggs for one tick
  void GrowthPass();         // eggs hatch, young creatures grow
  void FeedingPass();        // every hatched creature eats a ration or goes hungry
  // Runs the window until the program ends; returns the exit status.
  int Run();
  // One turn of the event loop; false when the program has ended or nothing
  // can happen any more.
  bool Step();
  bool Ended() const { return ended_; }

  // ---------------------------------------------------------------- screen
  void PutChip(int PA, int PX, int PY, int PB);
  void MojiSyu(int PA, int PB, int PC, plat::Color PL);
  void Locate(int PA, int PX, int PY, const std::string& PS);
  void Locate(int PA, int PX, int PY, int64_t PS);  // numbers: " 12", "-3"
  void Tunagi(int PA, int PB);
  void Dodai();
  void MakeWaku(int PX, int PY, int PXX, int PYY);
  void MakePikora(int PX, int PY, int PXX, int PYY);
  void MakeSt();
  void Sthyouji();
  void KaimonoWin();
  void MsgHyouji();
  void BuruBuru();
  // Shared pieces of the dialogue window.
  void WriteMessage(const std::string (&lines)[5]);  // five lines in the message area
  void FaceRise(int face, int waitMs);                // a face slides up into the box
  void FaceSink(int face);                            // a face sinks, box and area blanked

  // ----------------------------------------------------------------- staff
  void SetMsg();
  void Jtouroku();
  void KiokuZurasi(int PA);
  void JKoudou();
  void TamagoKau();
  void EsaKau();
  void Kitaeru();
  void Yasumi();
  void Atatame();
  void Uru();
  void MakeJnow();
  void Kyoka();
  void Dame();
  void Tadaima();
  void ByeKao();
  void SigotoEnd();

  // ------------------------------------------------------------- creatures
  void PetHyouji();
  void Pikora();

  // ----------------------------------------------------------------- sound
  void OpenM(int PA);
  void PlayM(int PA);
  void CloseM();
  void Mjyoutai();
  void Play(int PA);
  void StopEffect();  // silences the effect still sounding

  // ---------------------------------------------------------------- scenes
  void Timer1_Timer();
  void SyokiGamen();
  void Ending();
  void EDmoji(int PA);
  void GameOver();

 private:
  uint64_t rng_ = 0;
  bool ended_ = false;
};

}  // namespace pk
