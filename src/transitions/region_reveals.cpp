// Region-shaped reveals: ellipses, circle sweeps, diamond and cross, diagonal wipes, wedge
// and fan wipes. Each frame builds its shape as a region and draws the new picture through
// it; the shapes grow from frame to frame (the "to" entries as the area minus a shrinking
// shape), and the frame that ends an entry draws the rest of the area.
#include <cmath>
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
int32_t gHalfWidth = 0, gHalfHeight = 0;  // the centre (cx, cy)
float gSlope = 0;
int32_t gCoverExtent = 0;
Point gSweepPoints[6];
int32_t gSweepPhase = 0;
Point gRandomCentre;
RevealedRegion gRevealed;

int32_t TimesSlope(int32_t p) { return RoundHalfEven(static_cast<long double>(p) * gSlope); }
float SlopeOf(int32_t w, int32_t h) { return w > 0 ? static_cast<float>(h) / static_cast<float>(w) : 0.0f; }

Region Area() { return Region::FromRect(PictureArea()); }
Region Polygon(std::initializer_list<Point> points, FillMode mode = FillMode::Winding) {
  return Region::FromPolygon(std::span<const Point>(points.begin(), points.size()), mode);
}

void StartCommon(int32_t position) {
  S().Position = position;
  gSweepPhase = 0;
  gRevealed.Reset();
}

// ---------------------------------------------------------------------------------------
// Ellipses (42..44)

enum class EllipseKind { FromCentre, ToCentre, Random };
EllipseKind gEllipse = EllipseKind::FromCentre;

// The ellipse of step p: the picture's proportions, p its half size along the shorter side.
Rect ProportionalRect(int32_t p) {
  const int32_t cx = gHalfWidth, cy = gHalfHeight;
  if (H() <= W()) {
    const int32_t dx = Div(p * W(), H());
    return {cx - dx, cy - p, cx + dx, cy + p};
  }
  const int32_t dy = Div(p * H(), W());
  return {cx - p, cy - dy, cx + p, cy + dy};
}

void StartEllipse(EllipseKind kind, int32_t ex, int32_t ey) {
  gEllipse = kind;
  gHalfWidth = W() / 2;
  gHalfHeight = H() / 2;
  const long double cx = gHalfWidth, cy = gHalfHeight, w = W(), h = H();
  switch (kind) {
    case EllipseKind::FromCentre:
      gCoverExtent = RoundHalfEven(std::sqrt(cx * cx + cy * cy)) + 1;
      StartCommon(0);
      break;
    case EllipseKind::ToCentre:
      StartCommon(H() <= W() ? gHalfHeight : gHalfWidth);
      break;
    case EllipseKind::Random:
      gRandomCentre = {ex, ey};
      gCoverExtent = RoundHalfEven(std::sqrt(w * w + h * h));
      StartCommon(0);
      break;
  }
}

bool EllipseFrame() {
  const int32_t p = S().Position;
  switch (gEllipse) {
    case EllipseKind::FromCentre:
      if (p > gCoverExtent) break;
      gRevealed.Reveal(Region::FromEllipse(ProportionalRect(p)));
      S().Position += S().Speed;
      return false;
    case EllipseKind::ToCentre:
      if (p < 1) break;
      gRevealed.Reveal(Area().Subtract(Region::FromEllipse(ProportionalRect(p))));
      S().Position -= S().Speed;
      return false;
    case EllipseKind::Random: {
      if (p >= gCoverExtent) break;
      const Point c = gRandomCentre;
      gRevealed.Reveal(Region::FromEllipse({c.x - p, c.y - p, c.x + p, c.y + p}));
      S().Position += S().Speed;
      return false;
    }
  }
  gRevealed.RevealRest();
  return true;
}

// ---------------------------------------------------------------------------------------
// Circle sweeps (32..37): a ray from the pivot runs round the border, from the bottom-right
// corner up the right edge, along the top, down the left edge and along the bottom.

void StartCircleSweep(const TransitionSetupArgs& args) {
  gSweepPoints[0] = {args.arg1, args.arg2};
  gSweepPoints[1] = {W(), H()};
  StartCommon(H());
}

bool CircleSweepFrame() {
  const int32_t w = W(), h = H(), s = S().Speed;
  int32_t& p = S().Position;
  const Point pivot = gSweepPoints[0], corner = gSweepPoints[1];
  switch (gSweepPhase) {
    case 0:
      gRevealed.Reveal(Polygon({pivot, corner, {w, p}}));
      p -= s;
      if (p < 0) p = w, gSweepPhase = 1;
      return false;
    case 1:
      gRevealed.Reveal(Polygon({pivot, corner, {w, 0}, {p, 0}}));
      p -= s;
      if (p < 0) p = 0, gSweepPhase = 2;
      return false;
    case 2:
      gRevealed.Reveal(Polygon({pivot, corner, {w, 0}, {0, 0}, {0, p}}));
      p += s;
      if (p > h) p = 0, gSweepPhase = 3;
      return false;
    default:
      if (p + s > w) {
        gRevealed.RevealRest();
        return true;
      }
      gRevealed.Reveal(Polygon({pivot, corner, {w, 0}, {0, 0}, {0, h}, {p, h}}));
      p += s;
      return false;
  }
}

// ---------------------------------------------------------------------------------------
// Diamond and cross (38..41)

enum class CrossKind { CrossFrom, CrossTo, DiamondFrom, DiamondTo };
CrossKind gCross = CrossKind::CrossFrom;

void StartCross(CrossKind kind) {
  gCross = kind;
  gSlope = SlopeOf(W(), H());
  gHalfWidth = (W() + 2) / 2;
  gHalfHeight = (H() + 2) / 2;
  const int32_t start = kind == CrossKind::CrossTo ? gHalfWidth : kind == CrossKind::DiamondTo ? W() : 0;
  StartCommon(start);
}

Region CrossShape(int32_t p) {
  const int32_t cx = gHalfWidth, cy = gHalfHeight, q = TimesSlope(p);
  return Region::FromRect({cx - p, 0, cx + p, H()}).Union(Region::FromRect({0, cy - q, W(), cy + q}));
}

Region DiamondShape(int32_t p) {
  const int32_t cx = gHalfWidth, cy = gHalfHeight, q = TimesSlope(p);
  return Polygon({{cx - p, cy}, {cx, cy + q}, {cx + p, cy}, {cx, cy - q}});
}

bool CrossFrame() {
  const int32_t p = S().Position, s = S().Speed;
  switch (gCross) {
    case CrossKind::CrossFrom:
      if (p >= gHalfWidth) break;
      gRevealed.Reveal(CrossShape(p));
      S().Position += s;
      return false;
    case CrossKind::CrossTo:
      if (p <= 0) break;
      gRevealed.Reveal(Area().Subtract(CrossShape(p)));
      S().Position -= s;
      return false;
    case CrossKind::DiamondFrom:
      if (p >= W()) break;
      gRevealed.Reveal(DiamondShape(p));
      S().Position += s;
      return false;
    case CrossKind::DiamondTo:
      if (p <= 0) break;
      gRevealed.Reveal(Area().Subtract(DiamondShape(p)));
      S().Position -= s;
      return false;
  }
  gRevealed.RevealRest();
  return true;
}

// ---------------------------------------------------------------------------------------
// Diagonal wipes (149..156): right triangles at the corners, the hypotenuse parallel to the
// other diagonal.

enum Corner : uint8_t { kLeftTop = 1, kRightTop = 2, kLeftBottom = 4, kRightBottom = 8 };
uint8_t gCorners = kLeftTop;
bool gWipeTo = false;

void StartDiagonalWipe(uint8_t corners, bool to) {
  gCorners = corners;
  gWipeTo = to;
  gSlope = SlopeOf(W(), H());
  const Point corner = corners & kLeftTop ? Point{0, 0}
                       : corners & kRightTop ? Point{W(), 0}
                       : corners & kLeftBottom ? Point{0, H()}
                                               : Point{W(), H()};
  gSweepPoints[0] = corner;
  StartCommon(to ? W() : 0);
}

Region CornerTriangles(int32_t p) {
  const int32_t w = W(), h = H(), q = TimesSlope(p);
  Region shape;
  if (gCorners & kLeftTop) shape = shape.Union(Polygon({{0, 0}, {p, 0}, {0, q}}, FillMode::Alternate));
  if (gCorners & kRightTop) shape = shape.Union(Polygon({{w, 0}, {w - p, 0}, {w, q}}, FillMode::Alternate));
  if (gCorners & kLeftBottom) shape = shape.Union(Polygon({{0, h}, {p, h}, {0, h - q}}, FillMode::Alternate));
  if (gCorners & kRightBottom) shape = shape.Union(Polygon({{w, h}, {w - p, h}, {w, h - q}}, FillMode::Alternate));
  return shape;
}

bool DiagonalWipeFrame() {
  const int32_t p = S().Position;
  if (gWipeTo) {
    if (p < 1) {
      gRevealed.RevealRest();
      return true;
    }
    gRevealed.Reveal(Area().Subtract(CornerTriangles(p)));
    S().Position -= S().Speed;
    return false;
  }
  // One triangle reaches the opposite corner only at 2W; two meet in the middle at W.
  const bool oneCorner = (gCorners & (gCorners - 1)) == 0;
  if (p >= (oneCorner ? 2 * W() : W())) {
    gRevealed.RevealRest();
    return true;
  }
  gRevealed.Reveal(CornerTriangles(p));
  S().Position += S().Speed;
  return false;
}

// ---------------------------------------------------------------------------------------
// Wedge wipes (141..144). Told in the frame of "Wedge wipe right": u runs from the edge the
// wedge enters at, v across it; the apex (ca, cb) stays at the picture's centre.

enum class WedgeFrom { Left, Right, Top, Bottom };
WedgeFrom gWedge = WedgeFrom::Left;
int32_t gWedgeLength = 0, gWedgeAcross = 0, gApexU = 0, gApexV = 0;

Point WedgePoint(int32_t u, int32_t v) {
  switch (gWedge) {
    case WedgeFrom::Left: return {u, v};
    case WedgeFrom::Right: return {W() - u, v};
    case WedgeFrom::Top: return {v, u};
    case WedgeFrom::Bottom: return {v, H() - u};
  }
  return {u, v};
}

void StartWedge(WedgeFrom from) {
  gWedge = from;
  const int32_t cx = W() / 2, cy = H() / 2;
  const bool across = from == WedgeFrom::Left || from == WedgeFrom::Right;
  gWedgeLength = across ? W() : H();
  gWedgeAcross = across ? H() : W();
  gApexU = from == WedgeFrom::Left ? cx : from == WedgeFrom::Right ? W() - cx : from == WedgeFrom::Top ? cy : H() - cy;
  gApexV = across ? cy : cx;
  StartCommon(1);
}

bool WedgeFrame() {
  const int32_t a = gWedgeLength, b = gWedgeAcross, cb = gApexV, s = S().Speed;
  const Point apex = WedgePoint(gApexU, gApexV);
  int32_t& p = S().Position;
  switch (gSweepPhase) {
    case 0:
      gRevealed.Reveal(Polygon({WedgePoint(0, cb - p), WedgePoint(0, cb + p), apex}));
      p += s;
      if (p > cb) p = 0, gSweepPhase = 1;
      return false;
    case 1:
      gRevealed.Reveal(
          Polygon({WedgePoint(p, 0), WedgePoint(0, 0), WedgePoint(0, b), WedgePoint(p, b), apex}));
      p += s;
      if (p > a) p = cb, gSweepPhase = 2;
      return false;
    default:
      if (p - s < 0) {
        gRevealed.RevealRest();
        return true;
      }
      gRevealed.Reveal(Polygon({WedgePoint(a, cb - p), WedgePoint(a, 0), WedgePoint(0, 0), WedgePoint(0, b),
                                WedgePoint(a, b), WedgePoint(a, cb + p), apex}));
      p -= s;
      return false;
  }
}

// ---------------------------------------------------------------------------------------
// Fan wipes (45, 46): four blades turn together about the centre, one from the middle of
// each edge.

bool gClockwise = true;

void StartFan(bool clockwise) {
  gClockwise = clockwise;
  gHalfWidth = W() / 2;
  gHalfHeight = H() / 2;
  gSlope = SlopeOf(W(), H());
  StartCommon(1);
}

Region FanBlades(int32_t p, int32_t phase) {
  const int32_t w = W(), h = H(), cx = gHalfWidth, cy = gHalfHeight, q = TimesSlope(p);
  const Point c{cx, cy};
  Region blades;
  auto add = [&blades](Region r) { blades = blades.Union(r); };
  if (phase == 0) {
    const int32_t d = gClockwise ? 1 : -1;
    add(Polygon({c, {cx, 0}, {cx + d * p, 0}}));
    add(Polygon({c, {w, cy}, {w, cy + d * q}}));
    add(Polygon({c, {cx, h}, {cx - d * p, h}}));
    add(Polygon({c, {0, cy}, {0, cy - d * q}}));
  } else if (gClockwise) {
    add(Polygon({c, {cx, 0}, {w, 0}, {w, q}}));
    add(Polygon({c, {w, cy}, {w, h}, {w - p, h}}));
    add(Polygon({c, {cx, h}, {0, h}, {0, h - q}}));
    add(Polygon({c, {0, cy}, {0, 0}, {p, 0}}));
  } else {
    add(Polygon({c, {cx, 0}, {0, 0}, {0, q}}));
    add(Polygon({c, {0, cy}, {0, h}, {p, h}}));
    add(Polygon({c, {cx, h}, {w, h}, {w, h - q}}));
    add(Polygon({c, {w, cy}, {w, 0}, {w - p, 0}}));
  }
  return blades;
}

bool FanFrame() {
  const int32_t cx = gHalfWidth, s = S().Speed;
  int32_t& p = S().Position;
  if (gSweepPhase == 0) {
    gRevealed.Reveal(FanBlades(p, 0));
    p += s;
    if (p > cx) p = 0, gSweepPhase = 1;
    return false;
  }
  if (p > cx + s) {
    gRevealed.RevealRest();
    return true;
  }
  gRevealed.Reveal(FanBlades(p, 1));
  p += s;
  return false;
}

// ---------------------------------------------------------------------------------------

void Set(TransitionTable& t, int index, TransitionSetup setup, TransitionFrame frame,
         TransitionExtraArgs extraArgs = nullptr) {
  TransitionEntry& e = t[size_t(index)];
  e.setup = setup;
  e.frame = frame;
  e.extraArgs = extraArgs;
}

void RandomPoint(int32_t w, int32_t h, int32_t& x, int32_t& y) {
  x = Random(w);
  y = Random(h);
}

}  // namespace

void AddRegionRevealEntries(TransitionTable& t) {
  // Circle sweeps: the pivot comes as the extra arguments.
  Set(t, 32, StartCircleSweep, CircleSweepFrame, [](int32_t, int32_t h, int32_t& x, int32_t& y) { x = 0, y = h; });
  Set(t, 33, StartCircleSweep, CircleSweepFrame, [](int32_t, int32_t, int32_t& x, int32_t& y) { x = 0, y = 0; });
  Set(t, 34, StartCircleSweep, CircleSweepFrame, [](int32_t w, int32_t h, int32_t& x, int32_t& y) { x = w, y = h; });
  Set(t, 35, StartCircleSweep, CircleSweepFrame, [](int32_t w, int32_t, int32_t& x, int32_t& y) { x = w, y = 0; });
  Set(t, 36, StartCircleSweep, CircleSweepFrame,
      [](int32_t w, int32_t h, int32_t& x, int32_t& y) { x = Div(w, 2), y = Div(h, 2); });
  Set(t, 37, StartCircleSweep, CircleSweepFrame, RandomPoint);

  Set(t, 38, [](const TransitionSetupArgs&) { StartCross(CrossKind::CrossFrom); }, CrossFrame);
  Set(t, 39, [](const TransitionSetupArgs&) { StartCross(CrossKind::CrossTo); }, CrossFrame);
  Set(t, 40, [](const TransitionSetupArgs&) { StartCross(CrossKind::DiamondFrom); }, CrossFrame);
  Set(t, 41, [](const TransitionSetupArgs&) { StartCross(CrossKind::DiamondTo); }, CrossFrame);

  Set(t, 42, [](const TransitionSetupArgs&) { StartEllipse(EllipseKind::FromCentre, 0, 0); }, EllipseFrame);
  Set(t, 43, [](const TransitionSetupArgs&) { StartEllipse(EllipseKind::ToCentre, 0, 0); }, EllipseFrame);
  Set(t, 44, [](const TransitionSetupArgs& a) { StartEllipse(EllipseKind::Random, a.arg1, a.arg2); }, EllipseFrame,
      RandomPoint);

  Set(t, 45, [](const TransitionSetupArgs&) { StartFan(true); }, FanFrame);
  Set(t, 46, [](const TransitionSetupArgs&) { StartFan(false); }, FanFrame);

  Set(t, 141, [](const TransitionSetupArgs&) { StartWedge(WedgeFrom::Top); }, WedgeFrame);
  Set(t, 142, [](const TransitionSetupArgs&) { StartWedge(WedgeFrom::Right); }, WedgeFrame);
  Set(t, 143, [](const TransitionSetupArgs&) { StartWedge(WedgeFrom::Left); }, WedgeFrame);
  Set(t, 144, [](const TransitionSetupArgs&) { StartWedge(WedgeFrom::Bottom); }, WedgeFrame);

  Set(t, 149, [](const TransitionSetupArgs&) { StartDiagonalWipe(kLeftBottom, false); }, DiagonalWipeFrame);
  Set(t, 150, [](const TransitionSetupArgs&) { StartDiagonalWipe(kLeftTop, false); }, DiagonalWipeFrame);
  Set(t, 151, [](const TransitionSetupArgs&) { StartDiagonalWipe(kLeftTop | kRightBottom, false); }, DiagonalWipeFrame);
  Set(t, 152, [](const TransitionSetupArgs&) { StartDiagonalWipe(kRightBottom, false); }, DiagonalWipeFrame);
  Set(t, 153, [](const TransitionSetupArgs&) { StartDiagonalWipe(kRightTop, false); }, DiagonalWipeFrame);
  Set(t, 154, [](const TransitionSetupArgs&) { StartDiagonalWipe(kRightTop | kLeftBottom, false); }, DiagonalWipeFrame);
  Set(t, 155, [](const TransitionSetupArgs&) { StartDiagonalWipe(kLeftTop | kRightBottom, true); }, DiagonalWipeFrame);
  Set(t, 156, [](const TransitionSetupArgs&) { StartDiagonalWipe(kRightTop | kLeftBottom, true); }, DiagonalWipeFrame);
}

}  // namespace vitrine
