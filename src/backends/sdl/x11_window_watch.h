#pragma once
// A foreign X window (a screen saver daemon's window, or one a test made) watched from a
// connection of our own: its size, its changes of size, and its end.
#include <cstdint>

#include "raster/bitmap.h"

namespace vitrine {

class X11WindowWatch {
 public:
  // Opens the display and subscribes to the window's structure changes; Valid() is false
  // when there is no display or no such window.
  explicit X11WindowWatch(uintptr_t window);
  ~X11WindowWatch();
  X11WindowWatch(const X11WindowWatch&) = delete;
  X11WindowWatch& operator=(const X11WindowWatch&) = delete;

  bool Valid() const { return display_ != nullptr && width_ > 0; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Takes the queued notifications; true when the size changed since the last call.
  bool Poll();
  bool Destroyed() const { return destroyed_; }

 private:
  void* display_ = nullptr;  // Display*
  unsigned long window_ = 0;
  int32_t width_ = 0, height_ = 0;
  bool destroyed_ = false;
};

// The root window of the default display (what -root draws into); 0 without a display.
uintptr_t X11RootWindow();

// The screen as it looks now, from the root window; empty without a display.
Bitmap X11DesktopSnapshot();

// From here on, X protocol errors (a window that went away under us) are ignored instead
// of ending the process.
void X11IgnoreProtocolErrors();

}  // namespace vitrine
