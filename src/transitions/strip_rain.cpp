#include "transitions/strip_rain.h"

#include <algorithm>

#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct RainState {
  Axis axis;
};
RainState gRain;

}  // namespace

void SetupRain(Edge from) { gRain.axis.edge = from; }

bool RainFrame() {
  const TransitionState& s = gTransition;
  const Axis& a = gRain.axis;
  const int32_t n = a.Length(), p = s.Position, step = s.Speed;
  if (p >= n) {
    // Only the streaked part past the last strip is not final yet.
    CopyNewRect(a.Span(std::max(p - step, 0), n));
    return true;
  }
  // In the direction of travel, this frame's strip and the one before it.
  const Rect strip = a.Span(p, std::min(p + step, n));
  CopyNewRect(a.Span(std::max(p - step, 0), p));
  const Rect streak = a.Span(p, n);
  Canvas& canvas = *s.DestCanvas;
  const Rect dest = RectAtOrigin(streak.left, streak.top, streak.right, streak.bottom);
  if ((a.Vertical() ? strip.Height() : strip.Width()) == step) {
    canvas.CopyRect(dest, *s.NewPicture, strip);
  } else {
    // A short last strip is first stretched to the full strip size, as every other strip.
    Bitmap work(a.Vertical() ? s.PicWidth : step, a.Vertical() ? step : s.PicHeight, s.NewPicture->Format());
    Canvas(work).CopyRect(work.Bounds(), *s.NewPicture, strip);
    canvas.CopyRect(dest, work, work.Bounds());
  }
  gTransition.Position += step;
  return false;
}

}  // namespace vitrine
