#include "transitions/transition_rig.h"

#include "transitions/catalogue.h"
#include "transitions/dispatch.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr Color kSentinel = RGBColor(0xFF, 0x00, 0xFF);

}  // namespace

Bitmap MakeOldTestPicture(int32_t width, int32_t height, PixelFormat format) {
  // A grid of coloured cells over a diagonal gradient.
  Bitmap b(width, height, format);
  const int32_t span = width + height > 0 ? width + height : 1;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t g = (x + y) * 255 / span;
      const bool line = x % 16 == 0 || y % 16 == 0;
      const int32_t cell = (x / 16 + y / 16) % 3;
      const uint8_t r = uint8_t(line ? 255 : 128 + g / 2);
      const uint8_t gr = uint8_t(line ? 255 : cell == 0 ? g : 64);
      const uint8_t bl = uint8_t(line ? 255 : cell == 1 ? 255 - g : 96);
      b.SetPixel(x, y, RGBColor(r, gr, bl));
    }
  return b;
}

Bitmap MakeNewTestPicture(int32_t width, int32_t height, PixelFormat format) {
  // Concentric rings in blue and green, so that moved or stretched parts show.
  Bitmap b(width, height, format);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t dx = x - width / 3, dy = y - height / 3;
      const int32_t ring = static_cast<int32_t>(dx * dx + dy * dy) / 256 % 2;
      const bool dot = (x / 8 + y / 8) % 2 == 0;
      const uint8_t r = uint8_t(dot ? 100 : 20);
      const uint8_t g = uint8_t(ring ? 200 : 40 + (y * 150) / (height > 0 ? height : 1));
      const uint8_t bl = uint8_t(ring ? 60 : 230);
      b.SetPixel(x, y, RGBColor(r, g, bl));
    }
  return b;
}

TransitionRig::TransitionRig(const Bitmap& oldPicture, const Bitmap& newPicture, int32_t originX, int32_t originY,
                             TransitionScope scope, RigFormats formats)
    : originX_(scope == TransitionScope::WholeScreen ? 0 : originX),
      originY_(scope == TransitionScope::WholeScreen ? 0 : originY) {
  const PixelFormat format = formats.surface;
  const int32_t w = newPicture.Width(), h = newPicture.Height();
  host_.scope = scope;
  if (scope == TransitionScope::WholeScreen) {
    host_.surface.Reset(w, h, format);
  } else {
    host_.surface.Reset(originX_ + w + kBorder, originY_ + h + kBorder, format);
  }
  Canvas surface(host_.surface);
  surface.FillRect(host_.surface.Bounds(), kSentinel);
  surface.CopyRect({originX_, originY_, originX_ + w, originY_ + h}, oldPicture, {0, 0, w, h});
  newPicture_.Reset(w, h, formats.picture);
  Canvas(newPicture_).Draw(0, 0, newPicture);
  newOnSurface_.Reset(w, h, format);
  Canvas(newOnSurface_).Draw(0, 0, newPicture_);

  // The show window's bitmaps: the compose bitmap holds what the surface shows; under the
  // whole-show scope the screen bitmap gets the picture drawn onto it at the start.
  host_.picture = newPicture_;
  host_.compose = host_.surface;
  host_.screen.Reset(host_.surface.Width(), host_.surface.Height(), format);
  host_.pictureLeft = originX_;
  host_.pictureTop = originY_;
  initial_ = host_.surface;
}

void TransitionRig::Start(int32_t index, int32_t speed) {
  frames_ = 0;
  StartChosenTransition(host_, index, speed);
}

bool TransitionRig::Step() {
  // Every tick comes on time: the clock moves on by the frame interval.
  host_.nowMs += uint64_t(host_.frameInterval > 0 ? host_.frameInterval : kDefaultFrameIntervalMs);
  ++frames_;
  return StepTransition(host_, host_.transitionIndex);
}

bool TransitionRig::Run(int32_t maxFrames) {
  while (frames_ < maxFrames)
    if (Step()) return true;
  return false;
}

Rect TransitionRig::Area() const {
  return {originX_, originY_, originX_ + newPicture_.Width(), originY_ + newPicture_.Height()};
}

bool TransitionRig::ShowsNew(int32_t x, int32_t y) const {
  return host_.surface.RawPixel(originX_ + x, originY_ + y) == newOnSurface_.RawPixel(x, y);
}

Rect TransitionRig::VisibleArea() const {
  return Area().Intersect(host_.surface.Bounds()).Offset(-originX_, -originY_);
}

bool TransitionRig::AreaShowsNew() const {
  const Rect visible = VisibleArea();
  for (int32_t y = visible.top; y < visible.bottom; ++y)
    for (int32_t x = visible.left; x < visible.right; ++x)
      if (!ShowsNew(x, y)) return false;
  return true;
}

bool TransitionRig::OutsideUntouched() const {
  const Rect area = Area();
  for (int32_t y = 0; y < initial_.Height(); ++y)
    for (int32_t x = 0; x < initial_.Width(); ++x)
      if (!area.Contains(x, y) && host_.surface.RawPixel(x, y) != initial_.RawPixel(x, y)) return false;
  return true;
}

}  // namespace vitrine
