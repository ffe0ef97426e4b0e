#pragma once
// A clip region: a set of pixels stored as y-bands of sorted, non-overlapping x-spans.
// Shapes follow GDI's region conventions (right and bottom exclusive; an ellipse region lies
// inside its bounding box).
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "raster/geometry.h"

namespace vitrine {

enum class FillMode { Alternate, Winding };

enum class CombineMode { And, Or, Diff, Xor };

class Region {
 public:
  // One horizontal run of pixels [x0, x1) on every row of [y0, y1).
  struct Band {
    int32_t y0, y1;
    std::vector<std::pair<int32_t, int32_t>> spans;  // sorted, disjoint, non-touching
    friend bool operator==(const Band&, const Band&) = default;
  };

  Region() = default;  // the empty region
  // Corners given the wrong way round are put in order first, as GDI does.
  static Region FromRect(const Rect& r);
  static Region FromEllipse(const Rect& bounds);
  static Region FromPolygon(std::span<const Point> points, FillMode mode);

  bool Empty() const { return bands_.empty(); }
  Rect Bounds() const;
  bool Contains(int32_t x, int32_t y) const;

  // CombineRgn: And = intersection, Or = union, Diff = this minus other, Xor.
  static Region Combine(const Region& a, const Region& b, CombineMode mode);
  Region Union(const Region& o) const { return Combine(*this, o, CombineMode::Or); }
  Region Intersect(const Region& o) const { return Combine(*this, o, CombineMode::And); }
  Region Subtract(const Region& o) const { return Combine(*this, o, CombineMode::Diff); }
  void Offset(int32_t dx, int32_t dy);
  // The union of many regions in one pass (CombineRgn with Or, repeated). Much cheaper than
  // uniting one at a time when there are many parts, as in a frame built from 100 triangles.
  static Region UnionOf(std::span<const Region> parts);

  const std::vector<Band>& Bands() const { return bands_; }

  friend bool operator==(const Region&, const Region&) = default;

  // Ellipses and polygons are rasterised only inside this square around the origin (the
  // coordinate range of 16-bit GDI), so absurd coordinates cannot make a region huge.
  static constexpr int32_t kShapeLimit = 32768;

  // r with left <= right and top <= bottom.
  static Rect Ordered(const Rect& r);

 private:
  explicit Region(std::vector<Band> bands) : bands_(std::move(bands)) {}

  std::vector<Band> bands_;  // sorted by y, disjoint, adjacent equal bands merged
};

}  // namespace vitrine
