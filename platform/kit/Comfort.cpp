#include "platform/kit/Comfort.h"

#include <algorithm>

namespace plat {

Action KeyAction(int key, bool alt) {
  switch (key) {
    case 'P': return Action::Pause;
    case 'M': return Action::Mute;
    case kKeyMinus: case kKeyPadMinus: return Action::VolumeDown;
    case kKeyPlus: case kKeyPadPlus: return Action::VolumeUp;
    case kKeyF11: return Action::Fullscreen;
    case kKeyF12: return Action::Shot;
    case kKeyEnter: return alt ? Action::Fullscreen : Action::Nothing;
    default: return Action::Nothing;
  }
}

void Comfort::Start(int volume, bool muted, bool fullscreen) {
  volume_ = std::clamp(volume, 0, 10);
  muted_ = muted;
  fullscreen_ = fullscreen;
  Heard();
}

void Comfort::Heard() { host_.SetVolume(muted_ ? 0 : volume_); }

void Comfort::Act(Action a, uint32_t raw) {
  switch (a) {
    case Action::Nothing:
      return;
    case Action::Pause:
      if (paused_) Resume(raw);
      else Pause(raw, false);
      return;
    case Action::Shot:
      // The picture is taken first: the note is never in it.
      shot_ = host_.Shoot();
      shotAt_ = raw;
      return;
    case Action::Fullscreen:
      fullscreen_ = !fullscreen_;
      host_.ShowFullscreen(fullscreen_);
      host_.Changed(false);
      return;
    case Action::Mute:
      muted_ = !muted_;
      break;
    case Action::VolumeDown:
    case Action::VolumeUp:
      // A step is meant to be heard: it also ends a mute.
      volume_ = std::clamp(volume_ + (a == Action::VolumeUp ? 1 : -1), 0, 10);
      muted_ = false;
      break;
  }
  band_ = true;
  bandAt_ = raw;
  Heard();
  host_.Changed(true);
}

bool Comfort::Take(const Event& e, Action a, uint32_t raw) {
  if (a != Action::Nothing) {
    Act(a, raw);
    return false;
  }
  if (!paused_) return true;
  // L on the pause screen: the next language (outside the pause it is the
  // game's key, which turns a page of the ending like any other).
  if (e.type == Event::KeyDown && e.key == 'L') {
    retell_ = true;
    host_.ChooseLanguage(CarriedLanguages().Next(host_.CurrentLanguage()));
    return false;
  }
  // Quitting still quits; every other key and click is dropped, not kept.
  if (e.type == Event::Close || (e.type == Event::KeyDown && e.key == kKeyEscape)) {
    Resume(raw);
    return true;
  }
  return false;
}

void Comfort::Minimised(uint32_t raw) {
  if (!paused_) Pause(raw, true);
}

void Comfort::Restored(uint32_t raw) {
  if (paused_ && byMinimise_) Resume(raw);
}

void Comfort::Pause(uint32_t raw, bool byMinimise) {
  paused_ = true;
  byMinimise_ = byMinimise;
  pausedAt_ = raw;
  host_.HoldSound(true);
}

void Comfort::Resume(uint32_t raw) {
  lost_ += raw - pausedAt_;
  paused_ = false;
  host_.HoldSound(false);
  if (retell_) {
    retell_ = false;
    host_.Retell();
  }
}

int64_t Comfort::BandDueIn(uint32_t raw) const {
  const int64_t band = band_ ? int64_t(kBandMs) - int64_t(uint32_t(raw - bandAt_)) : -1;
  const int64_t note = shot_ ? int64_t(kNoteMs) - int64_t(uint32_t(raw - shotAt_)) : -1;
  if (band <= 0) return note > 0 ? note : -1;
  return note > 0 ? std::min(band, note) : band;
}

OverlayView Comfort::View(uint32_t raw) const {
  OverlayView v;
  v.paused = paused_;
  if (band_ && uint32_t(raw - bandAt_) < kBandMs) {
    v.volume = muted_ ? 0 : volume_;
    v.muted = muted_;
  }
  if (shot_ && uint32_t(raw - shotAt_) < kNoteMs) v.shot = true, v.shotName = *shot_;
  // Only an overlay that shows has words; none is no overlay at all.
  if (v.paused || v.volume >= 0 || v.shot) v.language = host_.CurrentLanguage();
  return v;
}

}  // namespace plat
