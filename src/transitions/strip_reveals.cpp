// Strip and band reveals: scan, ragged and growing bands, centre rectangle, lines, random
// lines and rain. Each frame copies axis-aligned rectangles of the new picture to the same
// place, so the revealed part grows until it covers the area.
//
// Copying the new picture over itself changes nothing, so where a frame would redraw what an
// earlier frame already drew (a band's front is redrawn from the edge every frame), only the
// pixels not yet drawn are copied; the screen after every frame is the same.
#include <algorithm>
#include <vector>

#include "core/random.h"
#include "core/rounding.h"
#include "transitions/catalogue.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

TransitionState& S() { return gTransition; }
int32_t W() { return gTransition.PicWidth; }
int32_t H() { return gTransition.PicHeight; }

// Scratch of this family.
int32_t gHalfWidth = 0, gHalfHeight = 0;
int32_t gScanMiddle = 0;
int32_t gCoverExtent = 0;
int32_t gBandCount = 0;
float gSlope = 0;
bool gLineFirstPass = true;
std::vector<int32_t> gPendingLines;

enum class Dir { Down, Up, Right, Left };
Dir gDir = Dir::Down;

bool Vertical(Dir d) { return d == Dir::Down || d == Dir::Up; }

float SlopeOf(int32_t w, int32_t h) { return w > 0 ? static_cast<float>(h) / static_cast<float>(w) : 0.0f; }
int32_t TimesSlope(int32_t p) { return RoundHalfEven(static_cast<long double>(p) * gSlope); }

// ---------------------------------------------------------------------------------------
// Scan (104..111)

enum class ScanKind { Down, Up, Right, Left, ToCentreH, ToCentreV, ToEdgeH, ToEdgeV };
ScanKind gScan = ScanKind::Down;

void StartScan(ScanKind kind) {
  gScan = kind;
  S().Position = 0;
  switch (kind) {
    case ScanKind::ToCentreH: case ScanKind::ToEdgeH: gScanMiddle = H() / 2 + 1; break;
    case ScanKind::ToCentreV: case ScanKind::ToEdgeV: gScanMiddle = W() / 2 + 1; break;
    default: break;
  }
}

// One strip along the scan axis: [a0, a1) of rows (horizontal kinds) or columns.
void CopyAcross(bool rows, int32_t a0, int32_t a1) {
  if (rows) CopyNewRect(0, a0, W(), a1);
  else CopyNewRect(a0, 0, a1, H());
}

bool ScanFrame() {
  const int32_t p = S().Position, s = S().Speed;
  bool finished = false;
  switch (gScan) {
    case ScanKind::Down: case ScanKind::Right: {
      const int32_t extent = gScan == ScanKind::Down ? H() : W();
      int32_t a1 = p + s;
      if (a1 > extent) a1 = extent, finished = true;
      CopyAcross(gScan == ScanKind::Down, p, a1);
      break;
    }
    case ScanKind::Up: case ScanKind::Left: {
      const int32_t extent = gScan == ScanKind::Up ? H() : W();
      int32_t a0 = extent - p - s;
      if (a0 < 0) a0 = 0, finished = true;
      CopyAcross(gScan == ScanKind::Up, a0, extent - p);
      break;
    }
    case ScanKind::ToCentreH: case ScanKind::ToCentreV: {
      const bool rows = gScan == ScanKind::ToCentreH;
      const int32_t extent = rows ? H() : W();
      if (p > gScanMiddle) {
        // Both fronts have met; what the full copy would add is already drawn.
        CopyAcross(rows, p, extent - p);
        return true;
      }
      CopyAcross(rows, p, p + s);
      CopyAcross(rows, extent - p - s, extent - p);
      break;
    }
    case ScanKind::ToEdgeH: case ScanKind::ToEdgeV: {
      const bool rows = gScan == ScanKind::ToEdgeH;
      const int32_t extent = rows ? H() : W();
      const int32_t m = gScanMiddle;
      int32_t a0 = m - p - s;
      if (a0 < 0) a0 = 0, finished = true;
      CopyAcross(rows, a0, m - p);
      CopyAcross(rows, m + p, std::min(m + p + s, extent));
      break;
    }
  }
  S().Position += s;
  return finished;
}

// ---------------------------------------------------------------------------------------
// Ragged bands (0, 1, 12..15, 18, 19)

int32_t gBandSize = 5;
// Per band, how far from its edge it is already drawn (the front only ever advances).
std::vector<int32_t> gBandReached;

void StartRaggedBand(Dir dir, int32_t bandSize) {
  gDir = dir;
  gBandSize = bandSize;
  const int32_t across = Vertical(dir) ? W() : H();
  gBandCount = bandSize == 1 ? across : (across + 5) / 5;
  S().Position = (dir == Dir::Down || dir == Dir::Right) ? 0 : (Vertical(dir) ? H() : W());
  gBandReached.assign(static_cast<size_t>(gBandCount), 0);
}

// Extends band i so that it covers depth d from its edge.
void ExtendBand(int32_t i, int32_t depth) {
  int32_t& reached = gBandReached[static_cast<size_t>(i)];
  if (depth <= reached) return;
  const int32_t b0 = i * gBandSize, b1 = b0 + gBandSize;
  switch (gDir) {
    case Dir::Down: CopyNewRect(b0, reached, b1, depth); break;
    case Dir::Up: CopyNewRect(b0, H() - depth, b1, H() - reached); break;
    case Dir::Right: CopyNewRect(reached, b0, depth, b1); break;
    case Dir::Left: CopyNewRect(W() - depth, b0, W() - reached, b1); break;
  }
  reached = depth;
}

bool RaggedBandFrame() {
  const bool forward = gDir == Dir::Down || gDir == Dir::Right;
  const int32_t extent = Vertical(gDir) ? H() : W();
  const int32_t p = S().Position;
  if (forward ? p >= extent + 50 : p <= -50) {
    // With a step above 50 the last fronts may have jumped past the edge without reaching it.
    for (int32_t i = 0; i < gBandCount; ++i) ExtendBand(i, extent);
    return true;
  }
  for (int32_t i = 0; i < gBandCount; ++i) {
    const int32_t r = Random(50);
    const int32_t depth = forward ? std::min(p + r, extent) : extent - std::max(p - r, 0);
    ExtendBand(i, depth);
  }
  S().Position += forward ? S().Speed : -S().Speed;
  return false;
}

// ---------------------------------------------------------------------------------------
// Growing bands (2..11, 16, 17)
//
// The shape is a set of row strips (each a run of rows reaching some way across) and column
// strips. A row strip's span always touches the anchor's column, so the part of each pixel
// row drawn so far stays one interval [lo, hi) around it; likewise for columns.

struct Strip {
  int32_t a0, a1;  // the rows (row strips) or columns (column strips) it covers
  int32_t b0, b1;  // how far it reaches across them
};

enum class Anchor { LeftTop, RightTop, LeftBottom, RightBottom, Centre };
Anchor gAnchor = Anchor::LeftTop;
bool gToCentre = false;
std::vector<int32_t> gRowLo, gRowHi, gColLo, gColHi;
Rect gPendingBox;  // "to centre": outside this box everything is drawn already

bool AnchorRight() { return gAnchor == Anchor::RightTop || gAnchor == Anchor::RightBottom; }
bool AnchorBottom() { return gAnchor == Anchor::LeftBottom || gAnchor == Anchor::RightBottom; }

void StartGrowingBand(Anchor anchor, bool toCentre) {
  gAnchor = anchor;
  gToCentre = toCentre;
  gSlope = SlopeOf(W(), H());
  gHalfWidth = W() / 2 + 1;
  gHalfHeight = H() / 2 + 1;
  S().Position = (toCentre ? gHalfWidth : AnchorRight() ? W() : 0);
  const int32_t ax = anchor == Anchor::Centre ? std::min(gHalfWidth, W()) : AnchorRight() ? W() : 0;
  const int32_t ay = anchor == Anchor::Centre ? std::min(gHalfHeight, H()) : AnchorBottom() ? H() : 0;
  gRowLo.assign(static_cast<size_t>(H()), ax);
  gRowHi = gRowLo;
  gColLo.assign(static_cast<size_t>(W()), ay);
  gColHi = gColLo;
  gPendingBox = PictureArea();
}

// The ragged shape at Position, its random reaches drawn in the order rows then columns.
void BuildShape(int32_t w, std::vector<Strip>& rows, std::vector<Strip>& cols) {
  rows.clear();
  cols.clear();
  const int32_t p = S().Position;
  if (gAnchor == Anchor::Centre) {
    const int32_t cx = gHalfWidth, cy = gHalfHeight, hh = TimesSlope(p);
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
  const int32_t e = AnchorRight() ? W() - p : p;  // extent from the anchored edge
  const int32_t hh = TimesSlope(e);
  for (int32_t k = 0; k <= hh / w; ++k) {
    const int32_t reach = std::min(e + Random(50), W());
    const int32_t y0 = AnchorBottom() ? H() - (k + 1) * w : k * w;
    rows.push_back({y0, y0 + w, AnchorRight() ? W() - reach : 0, AnchorRight() ? W() : reach});
  }
  for (int32_t k = 0; k <= e / w; ++k) {
    const int32_t reach = std::min(hh + Random(50), H());
    const int32_t x0 = AnchorRight() ? W() - (k + 1) * w : k * w;
    cols.push_back({x0, x0 + w, AnchorBottom() ? H() - reach : 0, AnchorBottom() ? H() : reach});
  }
}

// Draws the strip's part not yet drawn on each of its lines; lines with the same drawn
// interval are copied as one rectangle. rows: the lines are pixel rows.
void DrawStripTracked(const Strip& strip, bool rows) {
  std::vector<int32_t>& lo = rows ? gRowLo : gColLo;
  std::vector<int32_t>& hi = rows ? gRowHi : gColHi;
  const int32_t lines = rows ? H() : W(), across = rows ? W() : H();
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
void CompleteRows() { DrawStripTracked({0, H(), 0, W()}, true); }

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
  Rect box{W(), H(), 0, 0};
  auto add = [&box](int32_t l, int32_t t, int32_t r, int32_t b) {
    if (l >= r || t >= b) return;
    box = {std::min(box.left, l), std::min(box.top, t), std::max(box.right, r), std::max(box.bottom, b)};
  };
  for (const Strip& r : rows) add(r.b0, r.a0, r.b1, r.a1);
  for (const Strip& c : cols) add(c.a0, c.b0, c.a1, c.b1);
  return box.Intersect(PictureArea());
}

bool GrowingBandFrame(int32_t w) {
  std::vector<Strip> rows, cols;
  const int32_t p = S().Position;
  if (gToCentre) {
    if (p < -49) {
      DrawOutsideShape({}, {}, gPendingBox);
      return true;
    }
    BuildShape(w, rows, cols);
    DrawOutsideShape(rows, cols, gPendingBox);
    // Outside the shape's box everything now shows the new picture.
    gPendingBox = ShapeBox(rows, cols).Intersect(gPendingBox);
    S().Position -= S().Speed;
    return false;
  }
  const bool done = gAnchor == Anchor::Centre ? p >= gHalfWidth + 50 : AnchorRight() ? p <= -50 : p >= W() + 50;
  if (done) {
    // Normally a no-op; a step above 50 can leave the fronts short of the edges.
    CompleteRows();
    return true;
  }
  BuildShape(w, rows, cols);
  for (const Strip& r : rows) DrawStripTracked(r, true);
  for (const Strip& c : cols) DrawStripTracked(c, false);
  S().Position += AnchorRight() ? -S().Speed : S().Speed;
  return false;
}

template <int32_t Width>
bool GrowingBandFrameOf() {
  return GrowingBandFrame(Width);
}

// ---------------------------------------------------------------------------------------
// Centre rectangle (22, 23)

bool gEnvelop = false;
Rect gDrawnRect;  // Diffuse: the rectangle drawn so far. Envelop: the old part still showing.

Rect CentreRect(int32_t p) {
  const int32_t cx = gHalfWidth, cy = gHalfHeight;
  if (H() <= W()) {
    const int32_t dx = Div(p * W(), H());
    return {cx - dx, cy - p, cx + dx, cy + p};
  }
  const int32_t dy = Div(p * H(), W());
  return {cx - p, cy - dy, cx + p, cy + dy};
}

// Copies outer minus inner (inner lies within outer, both within the area).
void CopyRing(const Rect& outer, const Rect& inner) {
  if (inner.Empty()) {
    CopyNewRect(outer);
    return;
  }
  CopyNewRect(outer.left, outer.top, outer.right, inner.top);
  CopyNewRect(outer.left, inner.bottom, outer.right, outer.bottom);
  CopyNewRect(outer.left, inner.top, inner.left, inner.bottom);
  CopyNewRect(inner.right, inner.top, outer.right, inner.bottom);
}

void StartCentreRect(bool envelop) {
  gEnvelop = envelop;
  gHalfWidth = W() / 2;
  gHalfHeight = H() / 2;
  gCoverExtent = H() <= W() ? gHalfHeight : gHalfWidth;
  S().Position = envelop ? gCoverExtent : 0;
  gDrawnRect = envelop ? PictureArea() : Rect{};
}

bool CentreRectFrame() {
  const int32_t p = S().Position;
  if (gEnvelop) {
    // The old picture shrinks towards the centre: only the ring it gives up changes, and
    // inside the rectangle the screen still shows the old picture.
    if (p < 1) {
      CopyNewRect(gDrawnRect);
      return true;
    }
    const Rect inner = CentreRect(p).Intersect(gDrawnRect);
    CopyRing(gDrawnRect, inner);
    gDrawnRect = inner;
    S().Position -= S().Speed;
    return false;
  }
  if (p >= gCoverExtent) {
    CopyRing(PictureArea(), gDrawnRect);
    return true;
  }
  const Rect outer = CentreRect(p).Intersect(PictureArea());
  CopyRing(outer, gDrawnRect.Intersect(outer));
  gDrawnRect = outer;
  S().Position += S().Speed;
  return false;
}

// ---------------------------------------------------------------------------------------
// Lines (48..55)
//
// Down/Right: first pass 0, 2, 4 ... forwards. Up/Left: first pass from the far end backwards.
// The second pass takes the other lines, the same way round or (rebound) the other way.

bool gRebound = false;

int32_t LineExtent() { return Vertical(gDir) ? H() : W(); }
bool LineForward() { return gDir == Dir::Down || gDir == Dir::Right; }

void StartLines(Dir dir, bool rebound) {
  gDir = dir;
  gRebound = rebound;
  gLineFirstPass = true;
  S().Position = LineForward() ? 0 : LineExtent() - 1;
}

bool LinesFrame() {
  const int32_t n = LineExtent();
  int32_t& p = S().Position;
  CopyAcross(Vertical(gDir), p, p + 1);
  // The direction of the current pass.
  const bool forwardNow = LineForward() != (!gLineFirstPass && gRebound);
  p += forwardNow ? 2 : -2;
  const bool passOver = forwardNow ? p >= n : p < 0;
  if (!passOver) return false;
  if (!gLineFirstPass) return true;
  gLineFirstPass = false;
  const bool evenCount = n % 2 == 0;
  if (LineForward()) p = gRebound ? (evenCount ? n - 1 : n - 2) : 1;
  else p = gRebound ? (evenCount ? 0 : 1) : n - 2;
  return false;
}

// ---------------------------------------------------------------------------------------
// Random lines (56, 57, 99)

enum class LinesKind { Rows, Columns, Cross };
LinesKind gLinesKind = LinesKind::Rows;

void StartRandomLines(LinesKind kind) {
  gLinesKind = kind;
  const int32_t n = kind == LinesKind::Rows ? H() : W();
  gPendingLines.resize(static_cast<size_t>(std::max(n, 0)));
  for (int32_t i = 0; i < n; ++i) gPendingLines[size_t(i)] = i;
}

bool RandomLinesFrame() {
  if (gPendingLines.empty()) return true;
  const int32_t i = Random(static_cast<int32_t>(gPendingLines.size()));
  const int32_t n = gPendingLines[size_t(i)];
  if (gLinesKind == LinesKind::Rows) {
    CopyNewRect(0, n, W(), n + 1);
  } else {
    CopyNewRect(n, 0, n + 1, H());
    if (gLinesKind == LinesKind::Cross) {
      const int32_t y = Random(H());
      CopyNewRect(0, y, W(), y + 1);
    }
  }
  gPendingLines.erase(gPendingLines.begin() + i);
  return gPendingLines.empty();
}

// ---------------------------------------------------------------------------------------
// Rain (95..98): the current strip is stretched from its place to the far edge.

void StartRain(Dir dir) {
  gDir = dir;
  S().Position = 0;
}

bool RainFrame() {
  const bool rows = Vertical(gDir), forward = gDir == Dir::Down || gDir == Dir::Right;
  const int32_t n = rows ? H() : W();
  const int32_t p = S().Position, s = S().Speed;
  // In the direction of travel, [a0, a1) is this frame's strip and [prev0, prev1) the last one.
  auto span = [&](int32_t from, int32_t to) -> std::pair<int32_t, int32_t> {
    return forward ? std::pair{from, to} : std::pair{n - to, n - from};
  };
  auto rect = [&](std::pair<int32_t, int32_t> a) {
    return rows ? Rect{0, a.first, W(), a.second} : Rect{a.first, 0, a.second, H()};
  };
  if (p >= n) {
    // Only the streaked part past the last strip is not final yet.
    CopyNewRect(rect(span(std::max(p - s, 0), n)));
    return true;
  }
  const Rect strip = rect(span(p, std::min(p + s, n)));
  CopyNewRect(rect(span(std::max(p - s, 0), p)));
  const Rect streak = rect(span(p, n));
  Canvas& canvas = *S().DestCanvas;
  const Rect dest = RectAtOrigin(streak.left, streak.top, streak.right, streak.bottom);
  if ((rows ? strip.Height() : strip.Width()) == s) {
    canvas.CopyRect(dest, *S().NewPicture, strip);
  } else {
    // A short last strip is first stretched to the full strip size, as every other strip.
    Bitmap work(rows ? W() : s, rows ? s : H(), S().NewPicture->Format());
    Canvas(work).CopyRect(work.Bounds(), *S().NewPicture, strip);
    canvas.CopyRect(dest, work, work.Bounds());
  }
  S().Position += s;
  return false;
}

// ---------------------------------------------------------------------------------------

void Set(TransitionTable& t, int index, TransitionSetup setup, TransitionFrame frame) {
  t[size_t(index)].setup = setup;
  t[size_t(index)].frame = frame;
}

}  // namespace

void AddStripRevealEntries(TransitionTable& t) {
  Set(t, 0, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Down, 5); }, RaggedBandFrame);
  Set(t, 1, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Down, 1); }, RaggedBandFrame);
  Set(t, 12, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Left, 5); }, RaggedBandFrame);
  Set(t, 13, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Left, 1); }, RaggedBandFrame);
  Set(t, 14, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Right, 5); }, RaggedBandFrame);
  Set(t, 15, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Right, 1); }, RaggedBandFrame);
  Set(t, 18, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Up, 5); }, RaggedBandFrame);
  Set(t, 19, [](const TransitionSetupArgs&) { StartRaggedBand(Dir::Up, 1); }, RaggedBandFrame);

  // Growing bands: "large" bands are 15 pixels wide, "small" ones 5.
  Set(t, 2, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::Centre, false); }, GrowingBandFrameOf<15>);
  Set(t, 3, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::Centre, false); }, GrowingBandFrameOf<5>);
  Set(t, 4, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::LeftBottom, false); }, GrowingBandFrameOf<15>);
  Set(t, 5, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::LeftBottom, false); }, GrowingBandFrameOf<5>);
  Set(t, 6, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::LeftTop, false); }, GrowingBandFrameOf<15>);
  Set(t, 7, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::LeftTop, false); }, GrowingBandFrameOf<5>);
  Set(t, 8, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::RightBottom, false); }, GrowingBandFrameOf<15>);
  Set(t, 9, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::RightBottom, false); }, GrowingBandFrameOf<5>);
  Set(t, 10, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::RightTop, false); }, GrowingBandFrameOf<15>);
  Set(t, 11, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::RightTop, false); }, GrowingBandFrameOf<5>);
  Set(t, 16, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::Centre, true); }, GrowingBandFrameOf<15>);
  Set(t, 17, [](const TransitionSetupArgs&) { StartGrowingBand(Anchor::Centre, true); }, GrowingBandFrameOf<5>);

  Set(t, 22, [](const TransitionSetupArgs&) { StartCentreRect(false); }, CentreRectFrame);
  Set(t, 23, [](const TransitionSetupArgs&) { StartCentreRect(true); }, CentreRectFrame);

  Set(t, 48, [](const TransitionSetupArgs&) { StartLines(Dir::Down, false); }, LinesFrame);
  Set(t, 49, [](const TransitionSetupArgs&) { StartLines(Dir::Down, true); }, LinesFrame);
  Set(t, 50, [](const TransitionSetupArgs&) { StartLines(Dir::Left, false); }, LinesFrame);
  Set(t, 51, [](const TransitionSetupArgs&) { StartLines(Dir::Left, true); }, LinesFrame);
  Set(t, 52, [](const TransitionSetupArgs&) { StartLines(Dir::Right, false); }, LinesFrame);
  Set(t, 53, [](const TransitionSetupArgs&) { StartLines(Dir::Right, true); }, LinesFrame);
  Set(t, 54, [](const TransitionSetupArgs&) { StartLines(Dir::Up, false); }, LinesFrame);
  Set(t, 55, [](const TransitionSetupArgs&) { StartLines(Dir::Up, true); }, LinesFrame);

  Set(t, 56, [](const TransitionSetupArgs&) { StartRandomLines(LinesKind::Rows); }, RandomLinesFrame);
  Set(t, 57, [](const TransitionSetupArgs&) { StartRandomLines(LinesKind::Columns); }, RandomLinesFrame);
  Set(t, 99, [](const TransitionSetupArgs&) { StartRandomLines(LinesKind::Cross); }, RandomLinesFrame);

  Set(t, 95, [](const TransitionSetupArgs&) { StartRain(Dir::Down); }, RainFrame);
  Set(t, 96, [](const TransitionSetupArgs&) { StartRain(Dir::Left); }, RainFrame);
  Set(t, 97, [](const TransitionSetupArgs&) { StartRain(Dir::Right); }, RainFrame);
  Set(t, 98, [](const TransitionSetupArgs&) { StartRain(Dir::Up); }, RainFrame);

  Set(t, 104, [](const TransitionSetupArgs&) { StartScan(ScanKind::Down); }, ScanFrame);
  Set(t, 105, [](const TransitionSetupArgs&) { StartScan(ScanKind::Left); }, ScanFrame);
  Set(t, 106, [](const TransitionSetupArgs&) { StartScan(ScanKind::Right); }, ScanFrame);
  Set(t, 107, [](const TransitionSetupArgs&) { StartScan(ScanKind::ToCentreH); }, ScanFrame);
  Set(t, 108, [](const TransitionSetupArgs&) { StartScan(ScanKind::ToCentreV); }, ScanFrame);
  Set(t, 109, [](const TransitionSetupArgs&) { StartScan(ScanKind::ToEdgeH); }, ScanFrame);
  Set(t, 110, [](const TransitionSetupArgs&) { StartScan(ScanKind::ToEdgeV); }, ScanFrame);
  Set(t, 111, [](const TransitionSetupArgs&) { StartScan(ScanKind::Up); }, ScanFrame);
}

}  // namespace vitrine
