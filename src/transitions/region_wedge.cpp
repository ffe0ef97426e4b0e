// Told in the frame of "Wedge wipe right": u runs from the edge the wedge enters at, v across
// it; the apex stays at the picture's centre.
#include "transitions/region_wedge.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct WedgeState {
  WedgeFrom from = WedgeFrom::Left;
  int32_t length = 0, across = 0;  // the area along u and along v
  int32_t apexU = 0, apexV = 0;
  int32_t SweepPhase = 0;
  RevealedRegion revealed;
};
WedgeState gWedge;

Point WedgePoint(int32_t u, int32_t v) {
  switch (gWedge.from) {
    case WedgeFrom::Left: return {u, v};
    case WedgeFrom::Right: return {gTransition.PicWidth - u, v};
    case WedgeFrom::Top: return {v, u};
    case WedgeFrom::Bottom: return {v, gTransition.PicHeight - u};
  }
  return {u, v};
}

}  // namespace

void SetupWedge(WedgeFrom from) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  const int32_t cx = w / 2, cy = h / 2;
  const bool alongX = from == WedgeFrom::Left || from == WedgeFrom::Right;
  gWedge.from = from;
  gWedge.length = alongX ? w : h;
  gWedge.across = alongX ? h : w;
  gWedge.apexU = from == WedgeFrom::Left ? cx : from == WedgeFrom::Right ? w - cx : from == WedgeFrom::Top ? cy : h - cy;
  gWedge.apexV = alongX ? cy : cx;
  gWedge.SweepPhase = 0;
  gWedge.revealed.Reset();
  gTransition.Position = 1;
}

bool WedgeFrame() {
  const int32_t a = gWedge.length, b = gWedge.across, cb = gWedge.apexV, s = gTransition.Speed;
  const Point apex = WedgePoint(gWedge.apexU, gWedge.apexV);
  int32_t& p = gTransition.Position;
  RevealedRegion& revealed = gWedge.revealed;
  switch (gWedge.SweepPhase) {
    case 0:
      revealed.Reveal(PolygonRegion({WedgePoint(0, cb - p), WedgePoint(0, cb + p), apex}));
      p += s;
      if (p > cb) p = 0, gWedge.SweepPhase = 1;
      return false;
    case 1:
      revealed.Reveal(PolygonRegion({WedgePoint(p, 0), WedgePoint(0, 0), WedgePoint(0, b), WedgePoint(p, b), apex}));
      p += s;
      if (p > a) p = cb, gWedge.SweepPhase = 2;
      return false;
    default:
      if (p - s < 0) {
        revealed.RevealRest();
        return true;
      }
      revealed.Reveal(PolygonRegion({WedgePoint(a, cb - p), WedgePoint(a, 0), WedgePoint(0, 0), WedgePoint(0, b),
                                     WedgePoint(a, b), WedgePoint(a, cb + p), apex}));
      p -= s;
      return false;
  }
}

}  // namespace vitrine
