#pragma once
// SDL's video (and its clock) for the length of one show: the hints the show window needs,
// set before SDL starts, and SDL_Quit at the end.

namespace vitrine {

// Who decides when the display blanks and sleeps while the show runs.
enum class DisplaySleep {
  // The show keeps it awake, as a film does: a person started it to watch it.
  KeptAwake,
  // The system's screen saver and power management go on as without us: a screen-saver
  // daemon that started the show blanks or powers off the display when it chooses.
  LeftToSystem,
};

class SdlVideo {
 public:
  explicit SdlVideo(DisplaySleep sleep);
  ~SdlVideo();
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;

  // False when the display could not be opened (the reason went to standard error).
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

}  // namespace vitrine
