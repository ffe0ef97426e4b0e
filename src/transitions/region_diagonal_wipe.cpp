#include "transitions/region_diagonal_wipe.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct DiagonalWipeState {
  uint8_t corners = kWipeLeftTop;
  bool to = false;
  float Slope = 0;
  RevealedRegion revealed;
};
DiagonalWipeState gWipe;

Region CornerTriangles(int32_t p) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight, q = TimesSlope(p, gWipe.Slope);
  const uint8_t corners = gWipe.corners;
  constexpr FillMode kAlt = FillMode::Alternate;
  Region shape;
  if (corners & kWipeLeftTop) shape = shape.Union(PolygonRegion({{0, 0}, {p, 0}, {0, q}}, kAlt));
  if (corners & kWipeRightTop) shape = shape.Union(PolygonRegion({{w, 0}, {w - p, 0}, {w, q}}, kAlt));
  if (corners & kWipeLeftBottom) shape = shape.Union(PolygonRegion({{0, h}, {p, h}, {0, h - q}}, kAlt));
  if (corners & kWipeRightBottom) shape = shape.Union(PolygonRegion({{w, h}, {w - p, h}, {w, h - q}}, kAlt));
  return shape;
}

}  // namespace

void SetupDiagonalWipe(uint8_t corners, bool to) {
  TransitionState& s = gTransition;
  gWipe.corners = corners;
  gWipe.to = to;
  gWipe.Slope = SlopeOf(s.PicWidth, s.PicHeight);
  gWipe.revealed.Reset();
  s.Position = to ? s.PicWidth : 0;
}

bool DiagonalWipeFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  if (gWipe.to) {
    if (p < 1) {
      gWipe.revealed.RevealRest();
      return true;
    }
    gWipe.revealed.Reveal(AreaRegion().Subtract(CornerTriangles(p)));
    s.Position -= s.Speed;
    return false;
  }
  // One triangle reaches the opposite corner only at 2W; two meet in the middle at W.
  const bool oneCorner = (gWipe.corners & (gWipe.corners - 1)) == 0;
  if (p >= (oneCorner ? 2 * s.PicWidth : s.PicWidth)) {
    gWipe.revealed.RevealRest();
    return true;
  }
  gWipe.revealed.Reveal(CornerTriangles(p));
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
