#pragma once
// Drawing helpers shared by the cell and motion families, on top of transition_draw.h.
// Rectangles are picture coordinates; everything lands on gTransition.DestCanvas shifted by
// the origin and is cut to the area, so no family paints outside it.
#include <cstdint>

#include "raster/bitmap.h"
#include "raster/geometry.h"
#include "transitions/catalogue.h"

namespace vitrine::reveal {

// Copies what a set-up routine receives into gTransition (speeds below 1 run as 1).
void TakeSetupArgs(const TransitionSetupArgs& args);

// Copies src of NewPicture onto dst (same size); both are cut so that neither leaves the
// area, the two cuts kept in step.
void CopyNewTo(const Rect& src, const Rect& dst);
// Copies r of the area back from OldPicture, read at the origin-shifted place.
void RestoreOld(const Rect& r);
// Copies the part of outer that inner does not cover (inner lies inside outer, possibly with
// no width or height): the ring a growing rectangle adds in one frame, as four strips.
void CopyNewRing(const Rect& outer, const Rect& inner);
// The whole NewPicture stretched into dst.
void StretchNewInto(const Rect& dst);

// H / W as the 32-bit float the grid and slide families keep (0 for an empty area).
float SlopeOf(int32_t width, int32_t height);
// p * slope rounded to the nearest integer, ties to even.
int32_t TimesSlope(int32_t p, float slope);

// Copies runs and single pixels of NewPicture straight into the surface's pixels, for the
// families that move too many small pieces per frame for one canvas call each. Falls back to
// the canvas when a clip region is selected. Built per frame from gTransition.
class PixelCopier {
 public:
  enum class Mode { Same16, Same32, Convert, Canvas };

  PixelCopier();

  // Row y of NewPicture, columns [x0, x1), to the same place of the area.
  void Row(int32_t y, int32_t x0, int32_t x1);
  // Pixel (sx, sy) of NewPicture to (dx, dy) of the area; nothing when either lies outside.
  void Pixel(int32_t sx, int32_t sy, int32_t dx, int32_t dy) {
    if (!Inside(dx, dy) || uint32_t(sx) >= uint32_t(width_) || uint32_t(sy) >= uint32_t(height_)) return;
    PixelUnchecked(sx, sy, dx, dy);
  }
  // The part of the area that lies on the surface bitmap, in picture coordinates.
  const Rect& Visible() const { return visible_; }
  bool Inside(int32_t x, int32_t y) const { return visible_.Contains(x, y); }
  // Both points known to be inside the picture and the visible area.
  void PixelUnchecked(int32_t sx, int32_t sy, int32_t dx, int32_t dy) {
    if (mode_ == Mode::Same16) DestRow<uint16_t>(dy)[dx + ox_] = SrcRow<uint16_t>(sy)[sx];
    else if (mode_ == Mode::Same32) DestRow<uint32_t>(dy)[dx + ox_] = SrcRow<uint32_t>(sy)[sx];
    else Slow(sx, sy, dx, dy);
  }

  // Raw rows for loops that run per row in one of the Same modes: the surface row that
  // holds row y of the area, whose pixel x of the area is at index x + OriginX(), and row y
  // of NewPicture.
  Mode CopyMode() const { return mode_; }
  int32_t OriginX() const { return ox_; }
  template <class T>
  T* DestRow(int32_t y) {
    return reinterpret_cast<T*>(dest_->Row(y + oy_));
  }
  template <class T>
  const T* SrcRow(int32_t y) const {
    return reinterpret_cast<const T*>(src_->Row(y));
  }

 private:
  void Slow(int32_t sx, int32_t sy, int32_t dx, int32_t dy);

  Mode mode_;
  Bitmap* dest_;
  const Bitmap* src_;
  int32_t ox_, oy_, width_, height_;
  Rect visible_;
};

}  // namespace vitrine::reveal
