#pragma once
// Drawing helpers of all frame routines. Coordinates are picture coordinates (0..PicWidth,
// 0..PicHeight); everything lands on gTransition.DestCanvas shifted by the origin and is cut
// to the area, so no family paints outside it.
#include <cstdint>
#include <initializer_list>

#include "raster/bitmap.h"
#include "raster/geometry.h"
#include "raster/region.h"
#include "transitions/transition_state.h"

namespace vitrine {

// The families that run in four directions are told for one and mirrored or turned for the
// others. An Axis measures positions from the edge the movement starts at, so one routine
// serves all four.

// The edge a movement starts from: "down" starts at the top, "right" at the left.
enum class Edge { Top, Bottom, Left, Right };

struct Axis {
  Edge edge = Edge::Top;

  bool Vertical() const { return edge == Edge::Top || edge == Edge::Bottom; }
  // Extent along the movement.
  int32_t Length() const { return Vertical() ? gTransition.PicHeight : gTransition.PicWidth; }
  // The full-width (or full-height) band [a, b) along the axis, as a picture rectangle.
  Rect Span(int32_t a, int32_t b) const {
    const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
    switch (edge) {
      case Edge::Top: return {0, a, w, b};
      case Edge::Bottom: return {0, h - b, w, h - a};
      case Edge::Left: return {a, 0, b, h};
      case Edge::Right: return {w - b, 0, w - a, h};
    }
    return {};
  }
};

// The area in picture coordinates: (0, 0, PicWidth, PicHeight).
Rect PictureArea();
// Copies rectangle (l, t, r, b) of NewPicture to RectAtOrigin of it, clipped to the area.
void CopyNewRect(int32_t l, int32_t t, int32_t r, int32_t b);
inline void CopyNewRect(const Rect& r) { CopyNewRect(r.left, r.top, r.right, r.bottom); }
// The whole NewPicture at (OriginX, OriginY).
void DrawWholeNew();
// Draws NewPicture through shape (picture coordinates; cut to the area first).
void DrawNewThrough(const Region& shape);
// The area as a region, and a polygon region, for the region-shaped families.
Region AreaRegion();
Region PolygonRegion(std::initializer_list<Point> points, FillMode mode = FillMode::Winding);

// The part of the area a region-shaped transition has drawn so far. Its shapes grow from
// frame to frame, so drawing only what a shape adds gives the same screen as drawing the
// picture through the whole shape, at the cost of the new pixels alone.
class RevealedRegion {
 public:
  void Reset() { drawn_ = Region(); }
  // Draws the part of shape (picture coordinates) not drawn yet.
  void Reveal(const Region& shape);
  // Draws the rest of the area.
  void RevealRest();

 private:
  Region drawn_;
};

// Copies src of NewPicture onto dst (same size); both are cut so that neither leaves the
// area, the two cuts kept in step.
void CopyNewTo(const Rect& src, const Rect& dst);
// Copies r of the area back from OldPicture, read at the origin-shifted place.
void RestoreOld(const Rect& r);
// Copies the part of outer that inner does not cover: the ring a growing rectangle adds in
// one frame, as four strips. A non-empty inner lies inside outer; an empty one copies outer.
void CopyNewRing(const Rect& outer, const Rect& inner);
// The rectangle centred on (cx, cy) in the picture's proportions, p its half size along the
// picture's shorter side (the other half size p * W div H or p * H div W).
Rect ProportionalRect(int32_t cx, int32_t cy, int32_t p);
// The whole NewPicture stretched into dst.
void StretchNewInto(const Rect& dst);

// H / W as the 32-bit float the families keep as their slope (0 for an empty area).
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

}  // namespace vitrine
