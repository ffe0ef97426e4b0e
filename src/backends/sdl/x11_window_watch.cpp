#include "backends/sdl/x11_window_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vitrine {

namespace {
int IgnoreError(Display*, XErrorEvent*) { return 0; }

int Shift(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}
}  // namespace

void X11IgnoreProtocolErrors() { XSetErrorHandler(IgnoreError); }

X11WindowWatch::X11WindowWatch(uintptr_t window) : window_(static_cast<unsigned long>(window)) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return;
  display_ = d;
  XWindowAttributes a;
  if (window_ == 0 || !XGetWindowAttributes(d, window_, &a)) return;
  width_ = a.width;
  height_ = a.height;
  XSelectInput(d, window_, StructureNotifyMask);
  XSync(d, False);
}

X11WindowWatch::~X11WindowWatch() {
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

bool X11WindowWatch::Poll() {
  if (!display_ || destroyed_) return false;
  auto* d = static_cast<Display*>(display_);
  bool resized = false;
  while (XPending(d) > 0) {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type == ConfigureNotify && e.xconfigure.window == window_) {
      if (e.xconfigure.width != width_ || e.xconfigure.height != height_) {
        width_ = e.xconfigure.width;
        height_ = e.xconfigure.height;
        resized = true;
      }
    } else if (e.type == DestroyNotify && e.xdestroywindow.window == window_) {
      destroyed_ = true;
    }
  }
  return resized;
}

uintptr_t X11RootWindow() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 0;
  uintptr_t root = DefaultRootWindow(d);
  XCloseDisplay(d);
  return root;
}

Bitmap X11DesktopSnapshot() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return {};
  Window root = DefaultRootWindow(d);
  XWindowAttributes a;
  Bitmap shot;
  if (XGetWindowAttributes(d, root, &a) && a.width > 0 && a.height > 0) {
    XImage* image = XGetImage(d, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (image && image->bits_per_pixel >= 24 && image->red_mask && image->green_mask && image->blue_mask) {
      shot.Reset(a.width, a.height, PixelFormat::Xrgb8888);
      int rs = Shift(image->red_mask), gs = Shift(image->green_mask), bs = Shift(image->blue_mask);
      for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x) {
          unsigned long p = XGetPixel(image, x, y);
          shot.SetPixel(x, y, RGBColor(uint8_t((p & image->red_mask) >> rs), uint8_t((p & image->green_mask) >> gs),
                                       uint8_t((p & image->blue_mask) >> bs)));
        }
    }
    if (image) XDestroyImage(image);
  }
  XCloseDisplay(d);
  return shot;
}

}  // namespace vitrine
