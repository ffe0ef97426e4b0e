#include "transitions/strip_centre_rect.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct CentreRectState {
  bool envelop = false;
  int32_t HalfWidth = 0, HalfHeight = 0;  // the centre: W div 2, H div 2
  int32_t CoverExtent = 0;                // half the shorter side
  Rect drawn;  // Diffuse: the rectangle drawn so far. Envelop: the old part still showing.
};
CentreRectState gCentre;

Rect CentreRect(int32_t p) { return ProportionalRect(gCentre.HalfWidth, gCentre.HalfHeight, p); }

}  // namespace

void SetupCentreRect(bool envelop) {
  TransitionState& s = gTransition;
  gCentre.envelop = envelop;
  gCentre.HalfWidth = s.PicWidth / 2;
  gCentre.HalfHeight = s.PicHeight / 2;
  gCentre.CoverExtent = s.PicHeight <= s.PicWidth ? gCentre.HalfHeight : gCentre.HalfWidth;
  s.Position = envelop ? gCentre.CoverExtent : 0;
  gCentre.drawn = envelop ? PictureArea() : Rect{};
}

bool CentreRectFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  if (gCentre.envelop) {
    // The old picture shrinks towards the centre: only the ring it gives up changes, and
    // inside the rectangle the screen still shows the old picture.
    if (p < 1) {
      CopyNewRect(gCentre.drawn);
      return true;
    }
    const Rect inner = CentreRect(p).Intersect(gCentre.drawn);
    CopyNewRing(gCentre.drawn, inner);
    gCentre.drawn = inner;
    s.Position -= s.Speed;
    return false;
  }
  if (p >= gCentre.CoverExtent) {
    CopyNewRing(PictureArea(), gCentre.drawn);
    return true;
  }
  const Rect outer = CentreRect(p).Intersect(PictureArea());
  CopyNewRing(outer, gCentre.drawn.Intersect(outer));
  gCentre.drawn = outer;
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
