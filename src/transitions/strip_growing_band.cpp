// The shape is a set of row strips (each a run of rows reaching some way across) and column
// strips. A row strip's span always touches the anchor's column, so the part of each pixel
// row drawn so far stays one interval [lo, hi) around it; likewise for columns. Only what a
// frame adds to those intervals is copied; the screen after every frame is the same as if
// every strip were drawn in full.
#include "transitions/strip_growing_band.h"

#include <algorithm>
#include <vector>

#include "core/random.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct Strip {
  int32_t a0, a1;  // the rows (row strips) or columns (column strips) it covers
  int32_t b0, b1;  // how far it reaches across them
};

struct GrowingBandState {
  BandAnchor anchor = BandAnchor::LeftTop;
  bool toCentre = false;
  float Slope = 0;
  int32_t HalfWidth = 0, HalfHeight = 0;  // the centre: W div 2 + 1, H div 2 + 1
  // Per pixel row (column), the interval [lo, hi) drawn so far.
  std::vector<int32_t> rowLo, rowHi, colLo, colHi;
  Rect pendingBox;  // "to centre": outside this box everything is drawn already
};
GrowingBandState gGrow;

bool AnchorRight() { return gGrow.anchor == BandAnchor::RightTop || gGrow.anchor == BandAnchor::RightBottom; }
bool AnchorBottom() { return gGrow.anchor == BandAnchor::LeftBottom || gGrow.anchor == BandAnchor::RightBottom; }

// The ragged shape at Position, its random reaches drawn in the order rows then columns.
void BuildShape(int32_t w, std::vector<Strip>& rows, std::vector<Strip>& cols) {
  const int32_t pw = gTransition.PicWidth, ph = gTransition.PicHeight;
  rows.clear();
  cols.clear();
  const int32_t p = gTransition.Position;
  if (gGrow.anchor == BandAnchor::Centre) {
    const int32_t cx = gGrow.HalfWidth, cy = gGrow.HalfHeight, hh = TimesSlope(p, gGrow.Slope);
    for (int32_t y = cy - hh; y <= cy + hh; y += w) {
      const int32_t left = cx - p - Random(50);
      const int32_t right = cx + p + Random(50);
      rows.push_back({y, y + w, left, right});
    }
    for (int32_t x = cx - p; x <= cx + p; x += w) {
      const int32_t top = cy - hh - Random(50);
      const int32_t bottom = cy + hh + Random(50);
      cols.push_back({x, x + w, top, bottom});
    }
    return;
  }
  const int32_t e = AnchorRight() ? pw - p : p;  // extent from the anchored edge
  const int32_t hh = TimesSlope(e, gGrow.Slope);
  for (int32_t k = 0; k <= hh / w; ++k) {
    const int32_t reach = std::min(e + Random(50), pw);
    const int32_t y0 = AnchorBottom() ? ph - (k + 1) * w : k * w;
    rows.push_back({y0, y0 + w, AnchorRight() ? pw - reach : 0, AnchorRight() ? pw : reach});
  }
  for (int32_t k = 0; k <= e / w; ++k) {
    const int32_t reach = std::min(hh + Random(50), ph);
    const int32_t x0 = AnchorRight() ? pw - (k + 1) * w : k * w;
    cols.push_back({x0, x0 + w, AnchorBottom() ? ph - reach : 0, AnchorBottom() ? ph : reach});
  }
}

// Draws the strip's part not yet drawn on each of its lines; lines with the same drawn
// interval are copied as one rectangle. rows: the lines are pixel rows.
void DrawStripTracked(const Strip& strip, bool rows) {
  const int32_t pw = gTransition.PicWidth, ph = gTransition.PicHeight;
  std::vector<int32_t>& lo = rows ? gGrow.rowLo : gGrow.colLo;
  std::vector<int32_t>& hi = rows ? gGrow.rowHi : gGrow.colHi;
  const int32_t lines = rows ? ph : pw, across = rows ? pw : ph;
  const int32_t a0 = std::max(strip.a0, 0), a1 = std::min(strip.a1, lines);
  const int32_t b0 = std::max(strip.b0, 0), b1 = std::min(strip.b1, across);
  if (b0 >= b1) return;
  auto copy = [rows](int32_t la, int32_t lb, int32_t c0, int32_t c1) {
    if (c0 >= c1) return;
    if (rows) CopyNewRect(c0, la, c1, lb);
    else CopyNewRect(la, c0, lb, c1);
  };
  for (int32_t a = a0; a < a1;) {
    const int32_t l = lo[size_t(a)], h = hi[size_t(a)];
    int32_t end = a + 1;
    while (end < a1 && lo[size_t(end)] == l && hi[size_t(end)] == h) ++end;
    copy(a, end, b0, std::min(l, b1));
    copy(a, end, std::max(h, b0), b1);
    for (int32_t i = a; i < end; ++i) {
      lo[size_t(i)] = std::min(l, b0);
      hi[size_t(i)] = std::max(h, b1);
    }
    a = end;
  }
}

// Draws what the rows have not yet drawn; afterwards the whole area is drawn.
void CompleteRows() { DrawStripTracked({0, gTransition.PicHeight, 0, gTransition.PicWidth}, true); }

// "To centre": draws the area outside the shape, within box, band by band of rows whose
// covered intervals are the same.
void DrawOutsideShape(const std::vector<Strip>& rows, const std::vector<Strip>& cols, const Rect& box) {
  if (box.Empty()) return;
  std::vector<int32_t> cuts{box.top, box.bottom};
  auto cut = [&](int32_t y) {
    if (y > box.top && y < box.bottom) cuts.push_back(y);
  };
  for (const Strip& r : rows) cut(r.a0), cut(r.a1);
  for (const Strip& c : cols) cut(c.b0), cut(c.b1);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<std::pair<int32_t, int32_t>> covered;
  for (size_t i = 0; i + 1 < cuts.size(); ++i) {
    const int32_t y0 = cuts[i], y1 = cuts[i + 1];
    covered.clear();
    for (const Strip& r : rows)
      if (r.a0 <= y0 && y0 < r.a1 && r.b0 < r.b1) covered.push_back({r.b0, r.b1});
    for (const Strip& c : cols)
      if (c.b0 <= y0 && y0 < c.b1) covered.push_back({c.a0, c.a1});
    std::sort(covered.begin(), covered.end());
    int32_t x = box.left;
    for (const auto& [c0, c1] : covered) {
      if (c0 > x) CopyNewRect(x, y0, std::min(c0, box.right), y1);
      x = std::max(x, c1);
      if (x >= box.right) break;
    }
    if (x < box.right) CopyNewRect(x, y0, box.right, y1);
  }
}

Rect ShapeBox(const std::vector<Strip>& rows, const std::vector<Strip>& cols) {
  const int32_t pw = gTransition.PicWidth, ph = gTransition.PicHeight;
  Rect box{pw, ph, 0, 0};
  auto add = [&box](int32_t l, int32_t t, int32_t r, int32_t b) {
    if (l >= r || t >= b) return;
    box = {std::min(box.left, l), std::min(box.top, t), std::max(box.right, r), std::max(box.bottom, b)};
  };
  for (const Strip& r : rows) add(r.b0, r.a0, r.b1, r.a1);
  for (const Strip& c : cols) add(c.a0, c.b0, c.a1, c.b1);
  return box.Intersect(PictureArea());
}

}  // namespace

void SetupGrowingBand(BandAnchor anchor, bool toCentre) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  gGrow.anchor = anchor;
  gGrow.toCentre = toCentre;
  gGrow.Slope = SlopeOf(w, h);
  gGrow.HalfWidth = w / 2 + 1;
  gGrow.HalfHeight = h / 2 + 1;
  gTransition.Position = toCentre ? gGrow.HalfWidth : AnchorRight() ? w : 0;
  const int32_t ax = anchor == BandAnchor::Centre ? std::min(gGrow.HalfWidth, w) : AnchorRight() ? w : 0;
  const int32_t ay = anchor == BandAnchor::Centre ? std::min(gGrow.HalfHeight, h) : AnchorBottom() ? h : 0;
  gGrow.rowLo.assign(static_cast<size_t>(h), ax);
  gGrow.rowHi = gGrow.rowLo;
  gGrow.colLo.assign(static_cast<size_t>(w), ay);
  gGrow.colHi = gGrow.colLo;
  gGrow.pendingBox = PictureArea();
}

bool GrowingBandFrame(int32_t w) {
  std::vector<Strip> rows, cols;
  const int32_t p = gTransition.Position;
  if (gGrow.toCentre) {
    if (p < -49) {
      DrawOutsideShape({}, {}, gGrow.pendingBox);
      return true;
    }
    BuildShape(w, rows, cols);
    DrawOutsideShape(rows, cols, gGrow.pendingBox);
    // Outside the shape's box everything now shows the new picture.
    gGrow.pendingBox = ShapeBox(rows, cols).Intersect(gGrow.pendingBox);
    gTransition.Position -= gTransition.Speed;
    return false;
  }
  const bool done = gGrow.anchor == BandAnchor::Centre ? p >= gGrow.HalfWidth + 50
                    : AnchorRight()                     ? p <= -50
                                                        : p >= gTransition.PicWidth + 50;
  if (done) {
    // Normally a no-op; a step above 50 can leave the fronts short of the edges.
    CompleteRows();
    return true;
  }
  BuildShape(w, rows, cols);
  for (const Strip& r : rows) DrawStripTracked(r, true);
  for (const Strip& c : cols) DrawStripTracked(c, false);
  gTransition.Position += AnchorRight() ? -gTransition.Speed : gTransition.Speed;
  return false;
}

}  // namespace vitrine
