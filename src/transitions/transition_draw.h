#pragma once
// Drawing helpers of the frame routines. Coordinates are picture coordinates (0..PicWidth,
// 0..PicHeight); everything lands on gTransition.DestCanvas shifted by the origin and never
// outside the area.
#include <cstdint>

#include "raster/geometry.h"
#include "raster/region.h"

namespace vitrine {

// The area in picture coordinates: (0, 0, PicWidth, PicHeight).
Rect PictureArea();
// Copies rectangle (l, t, r, b) of NewPicture to RectAtOrigin of it, clipped to the area.
void CopyNewRect(int32_t l, int32_t t, int32_t r, int32_t b);
inline void CopyNewRect(const Rect& r) { CopyNewRect(r.left, r.top, r.right, r.bottom); }
// The whole NewPicture at (OriginX, OriginY).
void DrawWholeNew();
// Draws NewPicture through shape (picture coordinates; cut to the area first).
void DrawNewThrough(const Region& shape);

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

}  // namespace vitrine
