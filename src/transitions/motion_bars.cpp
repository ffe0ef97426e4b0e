#include "transitions/motion_bars.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct BarsState {
  Axis first, second;
  bool moving = true;
  int32_t cut = 0;
  int32_t lastStep = 0;  // wipes: the extent already uncovered
};
BarsState gBars;

Edge Opposite(Edge e) {
  switch (e) {
    case Edge::Top: return Edge::Bottom;
    case Edge::Bottom: return Edge::Top;
    case Edge::Left: return Edge::Right;
    case Edge::Right: return Edge::Left;
  }
  return e;
}

// The two halves across the movement.
Rect Half(bool firstHalf) {
  const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight, m = gBars.cut;
  if (gBars.first.Vertical()) return firstHalf ? Rect{0, 0, m, h} : Rect{m, 0, w, h};
  return firstHalf ? Rect{0, 0, w, m} : Rect{0, m, w, h};
}

void DrawHalf(const Axis& axis, const Rect& half, int32_t step) {
  const int32_t length = axis.Length();
  if (gBars.moving) {
    CopyNewTo(axis.Span(length - step, length).Intersect(half), axis.Span(0, step).Intersect(half));
  } else {
    CopyNewRect(axis.Span(gBars.lastStep, step).Intersect(half));
  }
}

}  // namespace

void SetupBars(Edge firstFrom, bool moving) {
  gBars.first.edge = firstFrom;
  gBars.second.edge = Opposite(firstFrom);
  gBars.moving = moving;
  gBars.cut = (gBars.first.Vertical() ? gTransition.PicWidth : gTransition.PicHeight) / 2 + 1;
  gBars.lastStep = 0;
}

bool BarsFrame() {
  TransitionState& s = gTransition;
  const int32_t length = gBars.first.Length();
  if (s.Position >= length + s.Speed) return true;
  const int32_t step = std::min(s.Position, length);
  DrawHalf(gBars.first, Half(true), step);
  DrawHalf(gBars.second, Half(false), step);
  gBars.lastStep = step;
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
