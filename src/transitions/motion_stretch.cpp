#include "transitions/motion_stretch.h"

#include <cstdint>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct StretchState {
  StretchAnchor anchor = StretchAnchor::Top;
  MotionCorner corner = MotionCorner::TopLeft;
  int32_t GrowX = 0, GrowY = 0;
  int32_t HalfWidth = 0, HalfHeight = 0, CoverExtent = 0;
  Rect shown;  // "Show from": the rectangle uncovered so far
};
StretchState gStretch;

// Corner growth: the longer side grows by Speed, the other follows in proportion. False
// once the rectangle has reached the whole area.
bool GrowCorner(int32_t& x, int32_t& y) {
  const TransitionState& s = gTransition;
  const int64_t w = s.PicWidth, h = s.PicHeight;
  if (h <= w) {
    if (gStretch.GrowX >= w) return false;
    gStretch.GrowY = static_cast<int32_t>(gStretch.GrowX * h / w);
  } else {
    if (gStretch.GrowY >= h) return false;
    gStretch.GrowX = static_cast<int32_t>(gStretch.GrowY * w / h);
  }
  x = gStretch.GrowX;
  y = gStretch.GrowY;
  if (h <= w) gStretch.GrowX += s.Speed;
  else gStretch.GrowY += s.Speed;
  return true;
}

Rect AtCorner(MotionCorner corner, int32_t x, int32_t y) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
  switch (corner) {
    case MotionCorner::TopLeft: return {0, 0, x, y};
    case MotionCorner::TopRight: return {w - x, 0, w, y};
    case MotionCorner::BottomLeft: return {0, h - y, x, h};
    case MotionCorner::BottomRight: return {w - x, h - y, w, h};
  }
  return {};
}

MotionCorner CornerOf(StretchAnchor anchor) {
  switch (anchor) {
    case StretchAnchor::TopRight: return MotionCorner::TopRight;
    case StretchAnchor::BottomLeft: return MotionCorner::BottomLeft;
    case StretchAnchor::BottomRight: return MotionCorner::BottomRight;
    default: return MotionCorner::TopLeft;
  }
}

// The target of this frame, or false when the stretch has reached the whole area.
bool StretchTarget(Rect& target) {
  TransitionState& s = gTransition;
  const int32_t w = s.PicWidth, h = s.PicHeight, p = s.Position;
  switch (gStretch.anchor) {
    case StretchAnchor::Top: target = {0, 0, w, p}; break;
    case StretchAnchor::Bottom: target = {0, h - p, w, h}; break;
    case StretchAnchor::Left: target = {0, 0, p, h}; break;
    case StretchAnchor::Right: target = {w - p, 0, w, h}; break;
    case StretchAnchor::Center:
      if (p >= gStretch.CoverExtent) return false;
      target = ProportionalRect(gStretch.HalfWidth, gStretch.HalfHeight, p);
      break;
    default: {
      int32_t x = 0, y = 0;
      if (!GrowCorner(x, y)) return false;
      target = AtCorner(CornerOf(gStretch.anchor), x, y);
      return true;
    }
  }
  const bool vertical = gStretch.anchor == StretchAnchor::Top || gStretch.anchor == StretchAnchor::Bottom;
  if (gStretch.anchor != StretchAnchor::Center && p >= (vertical ? h : w)) return false;
  s.Position += s.Speed;
  return true;
}

}  // namespace

void SetupStretch(StretchAnchor anchor) {
  const TransitionState& s = gTransition;
  gStretch.anchor = anchor;
  gStretch.GrowX = gStretch.GrowY = 0;
  gStretch.HalfWidth = s.PicWidth / 2;
  gStretch.HalfHeight = s.PicHeight / 2;
  gStretch.CoverExtent = s.PicHeight <= s.PicWidth ? gStretch.HalfHeight : gStretch.HalfWidth;
}

bool StretchFrame() {
  Rect target;
  if (!StretchTarget(target)) {
    DrawWholeNew();
    return true;
  }
  StretchNewInto(target);
  return false;
}

void SetupShowCorner(MotionCorner corner) {
  gStretch.corner = corner;
  gStretch.GrowX = gStretch.GrowY = 0;
  gStretch.shown = AtCorner(corner, 0, 0);
}

bool ShowCornerFrame() {
  int32_t x = 0, y = 0;
  if (!GrowCorner(x, y)) {
    DrawWholeNew();
    return true;
  }
  // The rectangle only grows, and keeps its corner: copy what it gained.
  const Rect grown = AtCorner(gStretch.corner, x, y);
  CopyNewRing(grown, gStretch.shown);
  gStretch.shown = grown;
  return false;
}

}  // namespace vitrine
