#include "transitions/region_fan.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct FanState {
  bool clockwise = true;
  int32_t HalfWidth = 0, HalfHeight = 0;  // the centre: W div 2, H div 2
  float Slope = 0;
  int32_t SweepPhase = 0;
  RevealedRegion revealed;
};
FanState gFan;

Region FanBlades(int32_t p, int32_t phase) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  const int32_t cx = gFan.HalfWidth, cy = gFan.HalfHeight, q = TimesSlope(p, gFan.Slope);
  const Point c{cx, cy};
  Region blades;
  auto add = [&blades](std::initializer_list<Point> points) { blades = blades.Union(PolygonRegion(points)); };
  if (phase == 0) {
    const int32_t d = gFan.clockwise ? 1 : -1;
    add({c, {cx, 0}, {cx + d * p, 0}});
    add({c, {w, cy}, {w, cy + d * q}});
    add({c, {cx, h}, {cx - d * p, h}});
    add({c, {0, cy}, {0, cy - d * q}});
  } else if (gFan.clockwise) {
    add({c, {cx, 0}, {w, 0}, {w, q}});
    add({c, {w, cy}, {w, h}, {w - p, h}});
    add({c, {cx, h}, {0, h}, {0, h - q}});
    add({c, {0, cy}, {0, 0}, {p, 0}});
  } else {
    add({c, {cx, 0}, {0, 0}, {0, q}});
    add({c, {0, cy}, {0, h}, {p, h}});
    add({c, {cx, h}, {w, h}, {w, h - q}});
    add({c, {w, cy}, {w, 0}, {w - p, 0}});
  }
  return blades;
}

}  // namespace

void SetupFan(bool clockwise) {
  TransitionState& s = gTransition;
  gFan.clockwise = clockwise;
  gFan.HalfWidth = s.PicWidth / 2;
  gFan.HalfHeight = s.PicHeight / 2;
  gFan.Slope = SlopeOf(s.PicWidth, s.PicHeight);
  gFan.SweepPhase = 0;
  gFan.revealed.Reset();
  s.Position = 1;
}

bool FanFrame() {
  const int32_t cx = gFan.HalfWidth, s = gTransition.Speed;
  int32_t& p = gTransition.Position;
  if (gFan.SweepPhase == 0) {
    gFan.revealed.Reveal(FanBlades(p, 0));
    p += s;
    if (p > cx) p = 0, gFan.SweepPhase = 1;
    return false;
  }
  if (p > cx + s) {
    gFan.revealed.RevealRest();
    return true;
  }
  gFan.revealed.Reveal(FanBlades(p, 1));
  p += s;
  return false;
}

}  // namespace vitrine
