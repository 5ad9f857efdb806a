// What the platform offers beside the game, the same on the real window and
// the headless twin: the pause with its clock, the volume, fullscreen and
// the picture saved. The keys for them never reach the game, and while
// paused the game gets nothing but quitting, so a game paused and resumed
// plays on exactly as if never paused.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/Surface.h"

namespace plat {

enum class Action { Nothing, Pause, Mute, VolumeDown, VolumeUp, Fullscreen, Shot };

// Virtual-key numbers of the keys the platform keeps for itself (P, M and,
// while paused, L are their letters; F12 saves the picture).
enum ComfortKey : int {
  kKeyEnter = 13,
  kKeyPadPlus = 107,
  kKeyPadMinus = 109,
  kKeyF11 = 122,
  kKeyF12 = 123,
  kKeyPlus = 187,
  kKeyMinus = 189,
};
Action KeyAction(int key, bool alt);

// The settings that last from one game to the next: the player changes them
// in the game, and the shell keeps them (a file on the desktop).
struct Lasting {
  bool fullscreen = false;
  int width = 800, height = 600;  // the window's size when not fullscreen
  int volume = 10;                // tenths of the full volume
  bool mute = false;
  std::string language;           // a language's code; "" when none was chosen in the game
  bool operator==(const Lasting&) const = default;
};
// Told of every change of a lasting setting; implemented by the shell.
class Keeper {
 public:
  virtual ~Keeper() = default;
  virtual void Keep(const Lasting& now) = 0;
};

// What the platform draws over the game's picture.
struct OverlayView {
  bool paused = false;
  int volume = -1;  // -1: no volume band; else the tenths heard
  bool muted = false;
  size_t language = 0;  // of CarriedLanguages(): the overlay's words
  bool shot = false;     // a note after F12: the picture was saved as shotName,
  std::string shotName;  // or, when "", it could not be
  bool operator==(const OverlayView&) const = default;
};

class Comfort {
 public:
  // What the platform does when a setting changes; nothing by default.
  struct Host {
    virtual ~Host() = default;
    virtual void ShowFullscreen(bool) {}
    virtual void HoldSound(bool) {}
    virtual void SetVolume(int) {}  // tenths heard: 0 while muted
    virtual void Changed(bool sound) { (void)sound; }  // the player changed a lasting setting
    // Saves the game's picture: the file's name, "" when it could not be
    // saved, nothing when pictures are not saved here.
    virtual std::optional<std::string> Shoot() { return std::nullopt; }
    // The language is the platform's (Platform::Language): the comfort layer
    // only reads it, and asks for the next one on the pause screen.
    virtual size_t CurrentLanguage() const { return 0; }
    virtual void ChooseLanguage(size_t) {}  // the player chose the language, of CarriedLanguages()
    virtual void Retell() {}  // play goes on in another language: tell the game (Event::Language)
  };
  static constexpr uint32_t kBandMs = 1500;  // how long the volume stays shown
  static constexpr uint32_t kNoteMs = 2500;  // how long the note after a picture stays

  explicit Comfort(Host& host) : host_(host) {}
  // The starting state, as the settings and the command line say; tells the host.
  void Start(int volume, bool muted, bool fullscreen);

  // Takes an input at the machine's time raw: true when it is the game's.
  void Act(Action a, uint32_t raw);
  bool Take(const Event& e, Action a, uint32_t raw);
  void Minimised(uint32_t raw);
  void Restored(uint32_t raw);

  bool Paused() const { return paused_; }
  // Milliseconds spent paused: the game's clock is the machine's less these.
  uint32_t Lost() const { return lost_; }
  int Volume() const { return volume_; }
  bool Muted() const { return muted_; }
  bool Fullscreen() const { return fullscreen_; }
  OverlayView View(uint32_t raw) const;
  // Milliseconds until the volume band or the note goes; -1 when none shows.
  int64_t BandDueIn(uint32_t raw) const;

 private:
  void Pause(uint32_t raw, bool byMinimise);
  void Resume(uint32_t raw);
  void Heard();
  Host& host_;
  bool paused_ = false, byMinimise_ = false;
  uint32_t pausedAt_ = 0, lost_ = 0;
  int volume_ = 10;
  bool muted_ = false, fullscreen_ = false;
  bool band_ = false;
  uint32_t bandAt_ = 0;
  std::optional<std::string> shot_;  // the note after the last picture
  uint32_t shotAt_ = 0;
  bool retell_ = false;  // the language changed during this pause
};

// out = the game's picture with the overlay drawn over it; the picture itself
// is not touched.
void DrawOverlay(const Surface& game, const OverlayView& v, Surface& out);

}  // namespace plat
