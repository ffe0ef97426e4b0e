#include "transitions/region_ellipse.h"

#include <cmath>

#include "core/rounding.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct EllipseState {
  EllipseKind kind = EllipseKind::FromCentre;
  int32_t HalfWidth = 0, HalfHeight = 0;  // the centre: W div 2, H div 2
  int32_t CoverExtent = 0;
  Point RandomCentre;
  RevealedRegion revealed;
};
EllipseState gEllipse;

Region EllipseOfStep(int32_t p) {
  return Region::FromEllipse(ProportionalRect(gEllipse.HalfWidth, gEllipse.HalfHeight, p));
}

}  // namespace

void SetupEllipse(EllipseKind kind, int32_t ex, int32_t ey) {
  TransitionState& s = gTransition;
  gEllipse.kind = kind;
  gEllipse.HalfWidth = s.PicWidth / 2;
  gEllipse.HalfHeight = s.PicHeight / 2;
  gEllipse.revealed.Reset();
  const long double cx = gEllipse.HalfWidth, cy = gEllipse.HalfHeight, w = s.PicWidth, h = s.PicHeight;
  switch (kind) {
    case EllipseKind::FromCentre:
      gEllipse.CoverExtent = RoundHalfEven(std::sqrt(cx * cx + cy * cy)) + 1;
      s.Position = 0;
      break;
    case EllipseKind::ToCentre:
      s.Position = s.PicHeight <= s.PicWidth ? gEllipse.HalfHeight : gEllipse.HalfWidth;
      break;
    case EllipseKind::Random:
      gEllipse.RandomCentre = {ex, ey};
      gEllipse.CoverExtent = RoundHalfEven(std::sqrt(w * w + h * h));
      s.Position = 0;
      break;
  }
}

bool EllipseFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position;
  switch (gEllipse.kind) {
    case EllipseKind::FromCentre:
      if (p > gEllipse.CoverExtent) break;
      gEllipse.revealed.Reveal(EllipseOfStep(p));
      s.Position += s.Speed;
      return false;
    case EllipseKind::ToCentre:
      if (p < 1) break;
      gEllipse.revealed.Reveal(AreaRegion().Subtract(EllipseOfStep(p)));
      s.Position -= s.Speed;
      return false;
    case EllipseKind::Random: {
      if (p >= gEllipse.CoverExtent) break;
      const Point c = gEllipse.RandomCentre;
      gEllipse.revealed.Reveal(Region::FromEllipse({c.x - p, c.y - p, c.x + p, c.y + p}));
      s.Position += s.Speed;
      return false;
    }
  }
  gEllipse.revealed.RevealRest();
  return true;
}

}  // namespace vitrine
