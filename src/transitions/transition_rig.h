#pragma once
// Runs one transition off screen and checks it: the area starts with an old picture inside a
// sentinel border, and after the last frame the area must show the new picture while the
// border stays as it was. Used by the tests, the vitrine tool and the benchmarks.
#include <cstdint>

#include "transitions/memory_host.h"

namespace vitrine {

// Built-in pictures that make motion visible. They differ in every pixel (the old one has
// the high bit of red set, the new one clear), so no pixel is right by chance.
Bitmap MakeOldTestPicture(int32_t width, int32_t height, PixelFormat format = kDefaultShowPixelFormat);
Bitmap MakeNewTestPicture(int32_t width, int32_t height, PixelFormat format = kDefaultShowPixelFormat);

// The rig's bitmap formats: the show's own by default. A picture in another format than the
// surface makes the transitions convert every pixel they copy.
struct RigFormats {
  PixelFormat surface = kDefaultShowPixelFormat;
  PixelFormat picture = kDefaultShowPixelFormat;
};

class TransitionRig {
 public:
  static constexpr int32_t kBorder = 6;  // sentinel pixels right of and below the area

  // Picture scope: the area (size of newPicture) at origin on a larger surface. Whole-screen
  // scope: the surface is the area (the whole show), the origin 0, 0.
  // The area may lie partly off the surface (a negative origin); only the part on it is
  // checked.
  TransitionRig(const Bitmap& oldPicture, const Bitmap& newPicture, int32_t originX, int32_t originY,
                TransitionScope scope = TransitionScope::Picture, RigFormats formats = {});

  // StartChosenTransition on the rig's host.
  void Start(int32_t index, int32_t speed);
  // One frame; counts it.
  bool Step();
  // Steps until a frame reports the end or maxFrames frames have run; true when it ended.
  bool Run(int32_t maxFrames);

  int32_t Frames() const { return frames_; }
  bool AreaShowsNew() const;
  bool OutsideUntouched() const;
  // Whether the surface pixel at picture coordinates (x, y), which must lie on the surface,
  // shows the new picture.
  bool ShowsNew(int32_t x, int32_t y) const;
  // The part of the area on the surface, in picture coordinates.
  Rect VisibleArea() const;
  Rect Area() const;
  const Bitmap& Surface() const { return host_.surface; }
  MemoryTransitionHost& Host() { return host_; }

 private:
  MemoryTransitionHost host_;
  Bitmap newPicture_;    // in the picture format
  Bitmap newOnSurface_;  // the same in the surface's format
  Bitmap initial_;     // the surface before the transition
  int32_t originX_, originY_;
  int32_t frames_ = 0;
};

}  // namespace vitrine
