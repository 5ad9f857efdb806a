// What the game sees of the machine: a clock and sleeps, three drawing
// surfaces and a present, text printed in the carried font, the pictures the
// game describes (decoded for it), input events, sound, the player's language
// and the tape that records or replays its inputs. Only this folder's headers
// cross to the game, and no SDL type is in them. The backends implement it:
// platform/sdl with a side for each system (platform/desktop, platform/web),
// the headless twin for tests (platform/headless) and the blind twin that
// draws nothing, for replays and the lab (platform/blind); what the backends
// share beside it (text drawing, picture decoding, the pause and its overlay)
// is their kit, platform/kit.
//
// Threads: a game and its platform live on one thread. What the seam keeps
// across games follows one rule: what is only read once made (the carried
// pictures, the embedded files) is shared by every thread; what grows as the
// game draws (the opened fonts, the rendered texts) belongs to the thread
// that draws, one copy per thread. Backends keep their own caches behind
// their own locks.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Languages.h"
#include "platform/Surface.h"

namespace plat {

// Key codes as the game knows them (the classic virtual-key numbers).
enum KeyCode : int {
  kKeyEscape = 27,
  kKeyEnd = 35,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
};

// Language: play goes on after the player chose another language; the game
// draws its words again in it.
struct Event {
  enum Type { KeyDown, Click, Close, Language } type = KeyDown;
  int key = 0;       // KeyDown: a KeyCode or another virtual-key number
  int x = 0, y = 0;  // Click: position in the 800 x 600 window picture
};

// The music device and the effect player. Paths are whole file paths.
class Audio {
 public:
  virtual ~Audio() = default;
  virtual void MusicOpen(const std::string& path) = 0;
  virtual void MusicPlay() = 0;    // once, from the current position
  virtual void MusicStop() = 0;    // halts where it is
  virtual void MusicRewind() = 0;  // back to the start
  virtual void MusicClose() = 0;
  // "playing", "stopped" (also after the piece ended by itself), or "" when
  // nothing is open.
  virtual std::string MusicMode() = 0;
  virtual void Effect(const std::string& path) = 0;  // cuts off the previous one
  virtual void EffectSilence() = 0;
};

// A picture the game carries, as the game describes it: the embedded file
// `file` made into a w x h surface. A tile sheet is a palette-indexed pixel
// text; a drawing (SVG) is reduced to at most `colours` colours (0: as drawn),
// its see-through parts showing `ground`. `name` is what traces call it.
struct PictureSpec {
  enum Kind { Sheet, Drawing } kind;
  const char* name;
  const char* file;
  int w, h;
  int colours;
  Color ground;
};
using PictureTable = std::span<const PictureSpec>;
// The pictures of a table, in its order.
using PictureSet = std::vector<Surface>;
// A picture missing or broken: the program must not go on with a blank one.
struct BrokenPicture : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Stands between the player and the game while a game is recorded or a
// recording is played: told of every input the game takes, with the point
// of the game at which it takes it, and able to give inputs of its own. The
// point is the number of the game's timer fires so far: the game takes input
// only between its handlers, so its course follows from its seed and the
// order of fires and inputs alone, whatever the clock says. Beside the point
// goes how long the game had been ready for input (on its own clock, which
// stands while paused): a player's thinking time, kept to pace a replay.
class Tape {
 public:
  virtual ~Tape() = default;
  // The player's input: true to hand it to the game (as it is or changed).
  virtual bool Let(Event& e) { (void)e; return true; }
  // The tape's own input at this point, the game ready for readyMs: true
  // with e when it is due; false with holdMs > 0 when it comes at this point
  // once the game has been ready that much longer.
  virtual bool Next(uint64_t point, uint32_t readyMs, Event& e, uint32_t& holdMs) {
    (void)point, (void)readyMs, (void)e, (void)holdMs;
    return false;
  }
  // Told of each input the game takes.
  virtual void Taken(uint64_t point, uint32_t readyMs, const Event& e) { (void)point, (void)readyMs, (void)e; }
  // Told of each fire of the game's timers: the point it makes.
  virtual void Fired(uint64_t point) { (void)point; }
  // Whether the game at this point is still behind the tape: a kept game
  // played again up to where it stopped, or a replay skipped to its end.
  // Meanwhile the platform plays in virtual time, shows nothing and sounds
  // nothing; once caught up it goes live where the game stands.
  virtual bool Behind(uint64_t point) const { (void)point; return false; }
  // How many times faster than the wall clock the game's clock runs while a
  // replay is watched (1, 2, 4, ...); 0 when no replay is watched.
  virtual int Speed() const { return 0; }
};

class Platform {
 public:
  static constexpr int kWinW = 800, kWinH = 600;
  static constexpr int kSurfX = 16, kSurfY = 12, kSurfW = 768, kSurfH = 576;

  virtual ~Platform() = default;

  Surface& Display(int i) { return display_[i]; }
  // The game hands over the table of its pictures once, before it draws; the
  // table must outlive the platform. A backend may start decoding at once
  // (the shell may hand it over earlier still: the same table again is kept).
  void Carry(PictureTable table) {
    if (table.data() == table_.data() && table.size() == table_.size()) return;
    table_ = table;
    Carried();
  }
  // Picture i of the table, decoded on first use; throws BrokenPicture.
  const Surface& Picture(size_t i) const {
    if (!pics_) pics_ = Decode(table_);
    return (*pics_)[i];
  }
  // Prints text at the surface's text position in its current attributes,
  // with a transparent background, its top-left corner at the position.
  virtual void Print(Surface& s, const std::string& utf8) = 0;

  // Millisecond counter; it may wrap, callers take differences.
  virtual uint32_t Ticks() = 0;
  // Sleeps about ms milliseconds without taking any game event. Closing the
  // window or a request from the system to end (SIGTERM) ends the waiting:
  // the handler in hand runs on to its end in virtual time, unseen and
  // unheard, and the close is the game's next input. So the close comes
  // between handlers, at a point of the game a replay can reach again.
  virtual void Sleep(uint32_t ms) = 0;
  // Shows surface 0 now.
  virtual void Present() = 0;
  // Takes the oldest waiting event, if any.
  virtual bool PollEvent(Event& e) = 0;
  // Blocks until an event waits or ms have passed (ms < 0: no time limit).
  // Returns false when no event can ever come (the headless script is spent
  // and nothing is timed): the program then ends.
  virtual bool WaitEvent(int ms) = 0;
  virtual Audio& Sound() = 0;
  // Folder of the program, ending in one separator.
  virtual std::string ProgramDir() = 0;
  // Seed of the random source.
  virtual uint64_t Seed() = 0;
  // Reports a fatal error to the player (the message also goes to stderr).
  virtual void ShowFatal(const std::string& msg) = 0;
  // The player's language, of CarriedLanguages(), and its words: the game
  // looks up what it draws there (Japanese has none: its texts stay).
  // This is the one owner of the language: the pause screen's key and a
  // replayed change both come here, and the backend hears of it (Spoken).
  size_t Language() const { return language_; }
  const Catalogue& Words() const { return CarriedLanguages()[language_].words; }
  void SetLanguage(size_t i) {
    if (i >= CarriedLanguages().Count() || i == language_) return;
    language_ = i;
    Spoken();
  }

  // The game's input for one turn of its event loop: the player's, passed
  // through the tape when one is in use, else the tape's own; an input the
  // tape holds back is waited for here, before any timer can fire. With a
  // tape, a change of language carries the language's index in its key.
  bool TakeInput(Event& e);
  // The game tells each fire of one of its timers.
  void TimerFired() {
    ++point_;
    handled_ = true;
    if (tape_) tape_->Fired(point_);
  }
  uint64_t Point() const { return point_; }
  // The tape must outlive its use; nullptr: none.
  void UseTape(Tape* t) {
    tape_ = t;
    stuck_ = false;
    if (t) Follow();
    else Live();  // a game that ended while catching up is shown as it ended
  }
  // Catching up with the tape: the backend's clock is virtual, nothing is
  // shown or heard, and the player's input waits.
  bool Behind() const { return behind_; }
  int Speed() const { return tape_ ? tape_->Speed() : 0; }
  // A new game on the same window: from point 0, without a tape.
  void Again() {
    point_ = 0;
    handled_ = true;
    tape_ = nullptr;
    behind_ = stuck_ = false;
  }

 protected:
  Platform();
  // Surfaces without pixels, for a twin that draws nothing.
  struct NoPixels {};
  explicit Platform(NoPixels) {}
  // The pictures of the table, decoded (or, for a twin without pixels, empty
  // surfaces); called once, on first use.
  virtual std::shared_ptr<const PictureSet> Decode(PictureTable table) const = 0;
  // The game handed over its pictures.
  virtual void Carried() {}
  // The language changed (by the player or by the tape).
  virtual void Spoken() {}
  // The game falls behind the tape: it is to catch up from here.
  virtual void CatchingUp() {}
  // The game caught up with the tape: the backend goes live, showing the
  // picture and sounding the music as the game left them.
  virtual void CaughtUp() {}
  // The game waits for input with nothing timed while catching up: the tape
  // has nothing more for it, so it is as far as it can get. Goes live.
  void Stuck() {
    stuck_ = true;
    Live();
  }
  PictureTable Table() const { return table_; }
  size_t language_ = 0;
  Surface display_[3];
  mutable std::shared_ptr<const PictureSet> pics_;

 private:
  bool Took(const Event& e);
  // Behind or live as the tape says now.
  void Follow();
  void Live() {
    if (!behind_) return;
    behind_ = false;
    CaughtUp();
  }
  PictureTable table_;
  Tape* tape_ = nullptr;
  bool behind_ = false;
  bool stuck_ = false;  // the tape had nothing more while behind: live from then on
  uint64_t point_ = 0;
  bool handled_ = true;    // a handler ran since the game last asked for input
  uint32_t readyAt_ = 0;  // when the game first asked for input after it
};

}  // namespace plat
