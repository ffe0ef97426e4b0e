#include "transitions/region_circle_sweep.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct CircleSweepState {
  Point SweepPoints[2];  // the pivot and the bottom-right corner the ray starts at
  int32_t SweepPhase = 0;
  RevealedRegion revealed;
};
CircleSweepState gSweep;

}  // namespace

void SetupCircleSweep(int32_t cx, int32_t cy) {
  gSweep.SweepPoints[0] = {cx, cy};
  gSweep.SweepPoints[1] = {gTransition.PicWidth, gTransition.PicHeight};
  gSweep.SweepPhase = 0;
  gSweep.revealed.Reset();
  gTransition.Position = gTransition.PicHeight;
}

bool CircleSweepFrame() {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight, s = gTransition.Speed;
  int32_t& p = gTransition.Position;
  const Point pivot = gSweep.SweepPoints[0], corner = gSweep.SweepPoints[1];
  RevealedRegion& revealed = gSweep.revealed;
  switch (gSweep.SweepPhase) {
    case 0:
      revealed.Reveal(PolygonRegion({pivot, corner, {w, p}}));
      p -= s;
      if (p < 0) p = w, gSweep.SweepPhase = 1;
      return false;
    case 1:
      revealed.Reveal(PolygonRegion({pivot, corner, {w, 0}, {p, 0}}));
      p -= s;
      if (p < 0) p = 0, gSweep.SweepPhase = 2;
      return false;
    case 2:
      revealed.Reveal(PolygonRegion({pivot, corner, {w, 0}, {0, 0}, {0, p}}));
      p += s;
      if (p > h) p = 0, gSweep.SweepPhase = 3;
      return false;
    default:
      if (p + s > w) {
        revealed.RevealRest();
        return true;
      }
      revealed.Reveal(PolygonRegion({pivot, corner, {w, 0}, {0, 0}, {0, h}, {p, h}}));
      p += s;
      return false;
  }
}

}  // namespace vitrine
