#include "transitions/region_cross.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct CrossState {
  CrossKind kind = CrossKind::CrossFrom;
  float Slope = 0;
  int32_t HalfWidth = 0, HalfHeight = 0;  // the centre: (W + 2) div 2, (H + 2) div 2
  RevealedRegion revealed;
};
CrossState gCross;

Region CrossShape(int32_t p) {
  const int32_t cx = gCross.HalfWidth, cy = gCross.HalfHeight, q = TimesSlope(p, gCross.Slope);
  return Region::FromRect({cx - p, 0, cx + p, gTransition.PicHeight})
      .Union(Region::FromRect({0, cy - q, gTransition.PicWidth, cy + q}));
}

Region DiamondShape(int32_t p) {
  const int32_t cx = gCross.HalfWidth, cy = gCross.HalfHeight, q = TimesSlope(p, gCross.Slope);
  return PolygonRegion({{cx - p, cy}, {cx, cy + q}, {cx + p, cy}, {cx, cy - q}});
}

}  // namespace

void SetupCross(CrossKind kind) {
  TransitionState& s = gTransition;
  gCross.kind = kind;
  gCross.Slope = SlopeOf(s.PicWidth, s.PicHeight);
  gCross.HalfWidth = (s.PicWidth + 2) / 2;
  gCross.HalfHeight = (s.PicHeight + 2) / 2;
  gCross.revealed.Reset();
  s.Position = kind == CrossKind::CrossTo ? gCross.HalfWidth : kind == CrossKind::DiamondTo ? s.PicWidth : 0;
}

bool CrossFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  RevealedRegion& revealed = gCross.revealed;
  switch (gCross.kind) {
    case CrossKind::CrossFrom:
      if (p >= gCross.HalfWidth) break;
      revealed.Reveal(CrossShape(p));
      s.Position += s.Speed;
      return false;
    case CrossKind::CrossTo:
      if (p <= 0) break;
      revealed.Reveal(AreaRegion().Subtract(CrossShape(p)));
      s.Position -= s.Speed;
      return false;
    case CrossKind::DiamondFrom:
      if (p >= s.PicWidth) break;
      revealed.Reveal(DiamondShape(p));
      s.Position += s.Speed;
      return false;
    case CrossKind::DiamondTo:
      if (p <= 0) break;
      revealed.Reveal(AreaRegion().Subtract(DiamondShape(p)));
      s.Position -= s.Speed;
      return false;
  }
  revealed.RevealRest();
  return true;
}

}  // namespace vitrine
