#include "transitions/motion_slide.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct SlideState {
  Axis axis;
  MotionCorner corner = MotionCorner::TopLeft;
  float Slope = 0;
  // Once the whole picture stands, the frames until the end would only draw it again.
  bool complete = false;
};
SlideState gSlide;

}  // namespace

void SetupSlide(Edge from) {
  gSlide.axis.edge = from;
  gSlide.complete = false;
}

bool SlideFrame() {
  TransitionState& s = gTransition;
  const Axis& axis = gSlide.axis;
  const int32_t length = axis.Length();
  if (s.Position >= length + s.Speed + 1) return true;
  const int32_t p = std::min(s.Position, length);
  if (!gSlide.complete) {
    // The far end of the picture enters first, at the edge it comes from.
    CopyNewTo(axis.Span(length - p, length), axis.Span(0, p));
    gSlide.complete = p == length;
  }
  s.Position += s.Speed;
  return false;
}

void SetupCornerSlide(MotionCorner from) {
  gSlide.corner = from;
  gSlide.Slope = SlopeOf(gTransition.PicWidth, gTransition.PicHeight);
  gSlide.complete = false;
}

bool CornerSlideFrame() {
  TransitionState& s = gTransition;
  const int32_t w = s.PicWidth, h = s.PicHeight;
  if (s.Position >= w + s.Speed + 1) return true;
  const int32_t p = std::min(s.Position, w);
  // At the full width the float slope must not leave a row short.
  const int32_t q = p == w ? h : std::min(TimesSlope(p, gSlide.Slope), h);
  if (!gSlide.complete) {
    switch (gSlide.corner) {
      case MotionCorner::TopLeft: CopyNewTo({w - p, h - q, w, h}, {0, 0, p, q}); break;
      case MotionCorner::TopRight: CopyNewTo({0, h - q, p, h}, {w - p, 0, w, q}); break;
      case MotionCorner::BottomLeft: CopyNewTo({w - p, 0, w, q}, {0, h - q, p, h}); break;
      case MotionCorner::BottomRight: CopyNewTo({0, 0, p, q}, {w - p, h - q, w, h}); break;
    }
    gSlide.complete = p == w;
  }
  s.Position += s.Speed;
  return false;
}

void SetupHalvesSlide(Edge axis) {
  gSlide.axis.edge = axis;
  gSlide.complete = false;
}

bool HalvesSlideFrame() {
  TransitionState& s = gTransition;
  const Axis& axis = gSlide.axis;
  const int32_t length = axis.Length(), m = length / 2;
  if (s.Position >= m + s.Speed + 1) return true;
  // Each half is clamped to its own size; with an odd length the far half is one line wider.
  const int32_t near = std::min(s.Position, m), far = std::min(s.Position, length - m);
  if (!gSlide.complete) {
    CopyNewTo(axis.Span(m - near, m), axis.Span(0, near));
    CopyNewTo(axis.Span(m, m + far), axis.Span(length - far, length));
    gSlide.complete = near == m && far == length - m;
  }
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
