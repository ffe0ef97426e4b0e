#include "transitions/cell_grid.h"

#include <algorithm>
#include <array>

#include "raster/region.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kBoxes = 10;

struct GridState {
  int32_t CellWidth = 0, CellHeight = 0;
  float Slope = 0;
  bool fromCenter = true;
  bool firstFrame = true;
  WipeCorner corner = WipeCorner::TopLeft;
  Region lastTriangle;  // the multi-wipe's triangle of the previous frame, at (0, 0)
};
GridState gGrid;

// Sorted, disjoint intervals [a, b) on one axis: at most one per box, or, for a difference
// of two such sets, one more than both together.
struct Intervals {
  std::array<std::pair<int32_t, int32_t>, 2 * kBoxes + 1> items{};
  int count = 0;
};

// The rows covered by the boxes of one column at half height q, merged where they overlap
// (a tall picture's boxes are taller than their cells).
Intervals BoxRows(int32_t q) {
  Intervals out;
  if (q <= 0) return out;
  for (int32_t j = 0; j < kBoxes; ++j) {
    const int32_t cy = (2 * j + 1) * gGrid.CellHeight;
    const int32_t a = cy - q, b = cy + q;
    if (out.count > 0 && a <= out.items[out.count - 1].second) out.items[out.count - 1].second = b;
    else out.items[out.count++] = {a, b};
  }
  return out;
}

// from minus cut, both sorted and merged.
Intervals Minus(const Intervals& from, const Intervals& cut) {
  Intervals out;
  int c = 0;
  for (int i = 0; i < from.count; ++i) {
    int32_t a = from.items[i].first;
    const int32_t b = from.items[i].second;
    while (c < cut.count && cut.items[c].second <= a) ++c;
    for (int k = c; k < cut.count && cut.items[k].first < b && a < b; ++k) {
      if (cut.items[k].first > a) out.items[out.count++] = {a, cut.items[k].first};
      a = std::max(a, cut.items[k].second);
    }
    if (a < b) out.items[out.count++] = {a, b};
  }
  return out;
}

void MultiBoxGrow(int32_t p) {
  const int32_t q = TimesSlope(p, gGrid.Slope);
  const int32_t q0 = TimesSlope(p - 1, gGrid.Slope);
  // Only the ring each box adds; overlapping boxes copy the same new pixels twice.
  for (int32_t i = 0; i < kBoxes; ++i) {
    const int32_t cx = (2 * i + 1) * gGrid.CellWidth;
    for (int32_t j = 0; j < kBoxes; ++j) {
      const int32_t cy = (2 * j + 1) * gGrid.CellHeight;
      CopyNewRing({cx - p, cy - q, cx + p, cy + q}, {cx - p + 1, cy - q0, cx + p - 1, cy + q0});
    }
  }
}

void MultiBoxShrink(int32_t p) {
  const int32_t q = TimesSlope(p, gGrid.Slope);
  if (gGrid.firstFrame) {
    DrawWholeNew();
    for (int32_t i = 0; i < kBoxes; ++i)
      for (int32_t j = 0; j < kBoxes; ++j) {
        const int32_t cx = (2 * i + 1) * gGrid.CellWidth, cy = (2 * j + 1) * gGrid.CellHeight;
        RestoreOld({cx - p, cy - q, cx + p, cy + q});
      }
    return;
  }
  // The old picture left the boxes of the previous frame (p + 1) where this frame's boxes no
  // longer cover them. Boxes never overlap across columns, but may within one.
  const Intervals before = BoxRows(TimesSlope(p + 1, gGrid.Slope));
  const Intervals now = BoxRows(q);
  const Intervals freed = Minus(before, now);
  for (int32_t i = 0; i < kBoxes; ++i) {
    const int32_t cx = (2 * i + 1) * gGrid.CellWidth;
    for (int k = 0; k < before.count; ++k) {
      const auto [a, b] = before.items[k];
      CopyNewRect(cx - p - 1, a, cx - p, b);
      CopyNewRect(cx + p, a, cx + p + 1, b);
    }
    for (int k = 0; k < freed.count; ++k) CopyNewRect(cx - p, freed.items[k].first, cx + p, freed.items[k].second);
  }
}

Region Triangle(int32_t p, int32_t q) {
  const bool right = gGrid.corner == WipeCorner::TopRight || gGrid.corner == WipeCorner::BottomRight;
  const bool bottom = gGrid.corner == WipeCorner::BottomLeft || gGrid.corner == WipeCorner::BottomRight;
  const Point points[3] = {{0, 0}, {right ? -p : p, 0}, {0, bottom ? -q : q}};
  return Region::FromPolygon(points, FillMode::Winding);
}

}  // namespace

void SetupMultiBox(bool fromCenter) {
  const TransitionState& s = gTransition;
  gGrid.CellWidth = (s.PicWidth + 20) / 20;  // half a box
  gGrid.CellHeight = (s.PicHeight + 20) / 20;
  gGrid.Slope = SlopeOf(s.PicWidth, s.PicHeight);
  gGrid.fromCenter = fromCenter;
  gGrid.firstFrame = true;
  gTransition.Position = fromCenter ? 0 : gGrid.CellWidth;
}

bool MultiBoxFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  if (gGrid.fromCenter ? p >= gGrid.CellWidth : p < 1) {
    DrawWholeNew();
    return true;
  }
  if (gGrid.fromCenter) {
    if (p > 0) MultiBoxGrow(p);
    ++s.Position;
  } else {
    MultiBoxShrink(p);
    --s.Position;
  }
  gGrid.firstFrame = false;
  return false;
}

void SetupMultiWipe(WipeCorner corner) {
  const TransitionState& s = gTransition;
  gGrid.CellWidth = (s.PicWidth + 10) / 10;
  gGrid.CellHeight = (s.PicHeight + 10) / 10;
  gGrid.Slope = SlopeOf(s.PicWidth, s.PicHeight);
  gGrid.corner = corner;
  gGrid.lastTriangle = Region();
  gTransition.Position = 0;
}

bool MultiWipeFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  if (p >= 2 * gGrid.CellWidth) {
    gGrid.lastTriangle = Region();
    DrawWholeNew();
    return true;
  }
  // The union of all triangles so far is on screen already: every cell gets only what its
  // triangle gained since the previous frame.
  Region triangle = Triangle(p, TimesSlope(p, gGrid.Slope));
  const Region gained = triangle.Subtract(gGrid.lastTriangle);
  const int32_t dx = gGrid.corner == WipeCorner::TopRight || gGrid.corner == WipeCorner::BottomRight ? gGrid.CellWidth : 0;
  const int32_t dy = gGrid.corner == WipeCorner::BottomLeft || gGrid.corner == WipeCorner::BottomRight ? gGrid.CellHeight : 0;
  PixelCopier copier;
  for (const Region::Band& band : gained.Bands())
    for (int32_t j = 0; j < kBoxes; ++j) {
      const int32_t cornerY = j * gGrid.CellHeight + dy;
      for (int32_t y = band.y0; y < band.y1; ++y)
        for (int32_t i = 0; i < kBoxes; ++i) {
          const int32_t cornerX = i * gGrid.CellWidth + dx;
          for (const auto& [x0, x1] : band.spans) copier.Row(cornerY + y, cornerX + x0, cornerX + x1);
        }
    }
  gGrid.lastTriangle = std::move(triangle);
  ++s.Position;
  return false;
}

}  // namespace vitrine
