// The real platform: an SDL2 window of 800 x 600 showing surface 0 at (16, 12).
#pragma once
#include <deque>
#include <future>
#include <memory>
#include <vector>

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"
#include "platform/kit/CatchUp.h"
#include "platform/kit/Comfort.h"
#include "platform/sdl/Pads.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Surface;

namespace plat {

// The mixer-backed music and effects, with what the platform asks of them
// beside the game; silent (and saying so once on stderr) when there is no
// audio device, no SoundFont or no file.
class SdlAudio : public Audio {
 public:
  virtual void Hold(bool held) = 0;     // the player's pause
  virtual void Volume(int tenths) = 0;  // of music and effects together
};
std::unique_ptr<SdlAudio> MakeSdlAudio(const std::string& programDir);

// Why no window can be shown, or "" when one can: before the video system
// starts as far as the environment tells, after it also when SDL fell back
// to an off-screen driver.
std::string NoDisplay();

// The window could not be made; what says why, for the player.
struct StartFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// How the window starts: the lasting settings as kept, and what the command
// line says for this game only.
struct SdlStart {
  Lasting lasting;
  // For this game only: a mute, fullscreen or a window; unset, as kept.
  bool muted = false;
  std::optional<bool> fullscreen;
  std::optional<uint64_t> seed;  // unset: a seed from the clock
  std::string caption;           // in Japanese: it is shown in the player's language (context "title")
  size_t language = 0;           // of CarriedLanguages()
  std::string pictures;          // the folder F12 saves the picture in; "": none known
  PictureTable carried;          // the game's pictures, to decode while the window opens
};

class SdlPlatform : public Platform, private Comfort::Host {
 public:
  // Throws StartFailure when there is no window to play in. The keeper is
  // told of every lasting change and must outlive the platform.
  SdlPlatform(const SdlStart& start, Keeper& keeper);
  ~SdlPlatform() override;

  // The game's clock: it stands still while the game is paused.
  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
  void Present() override;
  bool PollEvent(Event& e) override;
  bool WaitEvent(int ms) override;
  Audio& Sound() override;
  std::string ProgramDir() override { return dir_; }
  uint64_t Seed() override { return seed_; }
  void ShowFatal(const std::string& msg) override;
  void Print(Surface& s, const std::string& utf8) override;
  // The next present draws the whole window, changed or not (after the
  // window was exposed, resized or drawn over).
  void RedrawAll() { redrawAll_ = true; }

  // Offers a kept game on the overlay while the game's intro runs (until
  // its first main tick or any key); C takes it: the game then ends as if
  // closed and ContinueAsked says so.
  void Propose(const Offer& o) { comfort_.Propose(o); }
  bool ContinueAsked() const { return continue_; }
  // Makes ready for another game in the same window, of this seed.
  void Again(uint64_t seed);

 private:
  std::shared_ptr<const PictureSet> Decode(PictureTable table) const override;
  void Carried() override;
  void Spoken() override;
  size_t CurrentLanguage() const override { return language_; }
  void Pump();
  void Intake(const SDL_Event& ev);
  void Nap(int ms);
  void ShowFullscreen(bool on) override;
  void HoldSound(bool held) override;
  void SetVolume(int tenths) override;
  void Changed(bool sound) override;
  std::optional<std::string> Shoot() override;
  void ChooseLanguage(size_t i) override;
  void Retell() override;
  void Continue() override;
  void CatchingUp() override;
  void CaughtUp() override;
  void Caption();
  void Keep();
  std::deque<Event> ahead_;  // game events taken while waiting, oldest first
  Comfort comfort_{*this};
  Pads pads_;
  OverlayView shown_;  // the overlay last presented
  Surface composed_;   // the picture with the overlay
  Keeper& keeper_;
  Lasting kept_;             // as the keeper was last told
  std::string caption_;
  std::string pictures_;
  int winW_ = 0, winH_ = 0;  // the window's size out of fullscreen
  int napOn_ = -1;           // what Nap sleeps on (the X connection on a desktop)
  SDL_Window* window_ = nullptr;
  SDL_Surface* frame_ = nullptr;  // the window's picture as last shown, 800 x 600
  bool redrawAll_ = true;
  bool closing_ = false;  // the window was closed or the program asked to end
  // Closed in the middle of a handler: it runs to its end in virtual time,
  // unseen and unheard, so that the close is taken between handlers, where
  // a replay can give it again. Over once the game takes the close.
  bool hurry_ = false;
  bool Quiet() const { return Behind() || hurry_; }
  bool continue_ = false;  // the player took the offer of a kept game
  GameClock clock_;        // the game's: virtual while catching up, faster for a replay at speed
  HeldAudio held_;         // the sound while catching up or hurrying
  uint32_t caughtFrom_ = 0;  // when catching up began, on the machine's clock
  int shownW_ = 0, shownH_ = 0;  // the window size the picture was last drawn for
  std::unique_ptr<SdlAudio> audio_;
  mutable std::future<std::shared_ptr<const PictureSet>> picturesReady_;
  std::future<std::unique_ptr<SdlAudio>> audioReady_;  // the device opens while the intro starts
  std::string dir_;
  uint64_t seed_ = 0;
};

}  // namespace plat
