#include "backends/sdl/sdl_video.h"

#include <SDL.h>

#include <cstdio>

#include "backends/sdl/x11_window_watch.h"

namespace vitrine {

SdlVideo::SdlVideo(DisplaySleep sleep) {
  // SDL holds the system's screen saver off while its video runs unless this hint says
  // otherwise, and reads it only when the video starts. A show that is kept awake still lets
  // the user's SDL_VIDEO_ALLOW_SCREENSAVER=1 win; one that a daemon runs never blocks it.
  if (sleep == DisplaySleep::LeftToSystem)
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1", SDL_HINT_OVERRIDE);
  else
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
  // Only the show's own close events end it: a window manager's close of the last window is
  // handled by the window, a signal still arrives as a quit.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  ok_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
  if (!ok_) std::fprintf(stderr, "vitrine: cannot open the display: %s\n", SDL_GetError());
  // A daemon's window may go away while we draw into it.
  if (ok_) X11IgnoreProtocolErrors();
}

SdlVideo::~SdlVideo() {
  if (ok_) SDL_Quit();
}

}  // namespace vitrine
