#pragma once
// Drawing onto a Bitmap, with the conventions of GDI: rectangles exclude their right and
// bottom edge, a line excludes its end point, shapes are outlined with a one-pixel pen and
// filled with a solid brush, and every operation can be clipped by a selected Region.
//
// Source and destination bitmaps may differ in pixel format; pixels are converted through
// their colour value. Every operation clips against both bitmaps and never touches memory
// outside them, whatever the coordinates.
#include <optional>
#include <span>

#include "raster/bitmap.h"
#include "raster/region.h"

namespace vitrine {

// The raster operations of the block copies (GDI's ROP codes of the same meaning).
enum class RasterOp {
  SrcCopy,     // D = S
  SrcAnd,      // D = D AND S
  SrcPaint,    // D = D OR S
  SrcInvert,   // D = D XOR S
  NotSrcCopy,  // D = NOT S
  DstInvert,   // D = NOT D (source unused)
};

class Canvas {
 public:
  explicit Canvas(Bitmap& target) : target_(&target) {}

  Bitmap& Target() { return *target_; }

  // Selects a clip region (a copy is kept) in the canvas's pixel coordinates; everything
  // drawn afterwards lands only inside it. ClearClip draws everywhere again.
  void SelectClip(const Region& clip) { clip_ = clip; }
  void ClearClip() { clip_.reset(); }
  const std::optional<Region>& Clip() const { return clip_; }

  // BitBlt / StretchBlt: copies srcRect of src onto dest. When the two rectangles differ in
  // size the copy stretches (nearest neighbour, as StretchBlt in COLORONCOLOR mode: pixel
  // (i, j) of dest takes source pixel (i * srcW / destW, j * srcH / destH)), enlarging or
  // shrinking along either axis. Parts of srcRect outside src are not copied; the matching
  // parts of dest stay as they were. A rectangle of zero or negative size copies nothing
  // (there is no mirroring).
  void CopyRect(const Rect& dest, const Bitmap& src, const Rect& srcRect, RasterOp op = RasterOp::SrcCopy);
  // The whole of src at (x, y), unscaled.
  void Draw(int32_t x, int32_t y, const Bitmap& src);
  // The whole of src stretched onto dest.
  void StretchDraw(const Rect& dest, const Bitmap& src);
  // A raster operation that needs no source over a rectangle (DstInvert).
  void PatBlt(const Rect& dest, RasterOp op);

  void FillRect(const Rect& r, Color color);
  void FillRegion(const Region& region, Color color);
  // A one-pixel line from 'from' to 'to', the end point not painted (Bresenham, as LineTo).
  void Line(Point from, Point to, Color pen);
  // Rectangle(): one-pixel outline in pen, interior in brush. A null brush draws the
  // outline only.
  void Rectangle(const Rect& r, Color pen, std::optional<Color> brush);
  // Ellipse(): the ellipse inscribed in r, outlined in pen and filled with brush.
  void Ellipse(const Rect& r, Color pen, std::optional<Color> brush);
  // Polygon(): closed, outlined in pen, filled with brush by the fill mode.
  void Polygon(std::span<const Point> points, Color pen, std::optional<Color> brush,
               FillMode mode = FillMode::Alternate);

 private:
  Bitmap* target_;
  std::optional<Region> clip_;
};

// A monochrome mask as a copy of src in src's own format: white where the pixel equals key,
// black elsewhere. With SrcAnd / NotSrcCopy / SrcInvert it makes transparent blits.
Bitmap MakeMask(const Bitmap& src, Color key);

}  // namespace vitrine
