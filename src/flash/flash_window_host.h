#pragma once
// What the show window asks of the Flash window: open one for a movie (full screen in show
// mode, inside the background panel in preview), and close it. The Flash window reports back
// with WM_FLASHFINISHED (0x485, wParam 1, lParam 1) to the notify target, and asks the show
// to end with WM_STOPSHOW (0x571) after a close event has passed the password.
#include <cstdint>
#include <string>

#include "platform/event_loop.h"
#include "raster/bitmap.h"

namespace vitrine {

class TRWSetting;

inline constexpr uint32_t WM_FLASHFINISHED = 0x485;
inline constexpr uint32_t WM_FLASHPOSITION = 0x486;
inline constexpr uint32_t WM_STOPSHOW = 0x571;

// What the show window hands over, in this order.
struct FlashDisplayRecord {
  int32_t BackgroundColor = 0;  // 0x00BBGGRR
  int32_t AlignMode = 0;
  int32_t ScaleMode = 0;
  int32_t StartFrame = 0;
  int32_t StopMode = 3;
  int32_t StopFrame = 0;
  uint8_t Flag7 = 0, Flag8 = 0;  // carried, not used by the window
  int32_t PlaySeconds = 0;
  uint8_t MoveToFlash = 0;
  uint8_t ClicksToFlash = 0;
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
