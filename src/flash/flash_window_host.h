#pragma once
// What the show window asks of the Flash window: open one for a movie (full screen in show
// mode, inside the background panel in preview), and close it. The Flash window reports back
// with WM_FLASHFINISHED (0x485, wParam 1, lParam 1) to the notify target, and asks the show
// to end with WM_STOPSHOW (0x571) after a close event has passed the password.
#include <cstdint>
#include <string>

#include "package/flash_display_settings.h"
#include "package/show_messages.h"
#include "platform/event_loop.h"
#include "raster/bitmap.h"

namespace vitrine {

class TRWSetting;

// What the show window hands over: the item's display settings as its record gives them, and
// the frame to start at.
struct FlashDisplayRecord : FlashDisplaySettings {
  int32_t StartFrame = 0;
};

class FlashWindowHost {
 public:
  virtual ~FlashWindowHost() = default;
  // Show mode: a top-level window covering the screen; a right click opens the show's popup
  // menu when closeOnInput is false.
  virtual void ShowFlashWindow(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                               bool startTimers, const FlashDisplayRecord& record, const std::string& moviePath) = 0;
  // Preview mode: inside the show's background panel, sized to it.
  virtual void ShowFlashInPanel(MessageTarget& notify, const TRWSetting& settings, bool closeOnInput,
                                bool startTimers, const FlashDisplayRecord& record, const std::string& moviePath) = 0;
  // Closes and frees the open Flash window; nothing when none is open.
  virtual void CloseFlashWindow() = 0;
  virtual bool FlashWindowOpen() const = 0;
  // Where the Flash window is not a window of its own (the headless platform), draws what it
  // shows over the screen picture.
  virtual void PaintOver(Bitmap& screen) {}
};

}  // namespace vitrine
