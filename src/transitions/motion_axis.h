#pragma once
// The moving families are told for one direction and mirrored or turned for the others. An
// Axis measures positions from the edge the movement starts at, so one routine serves all four.
#include <cstdint>

#include "raster/geometry.h"
#include "transitions/transition_state.h"

namespace vitrine {

// The edge a movement starts from: "down" starts at the top, "right" at the left.
enum class MotionEdge { Top, Bottom, Left, Right };

struct Axis {
  MotionEdge edge = MotionEdge::Top;

  bool Vertical() const { return edge == MotionEdge::Top || edge == MotionEdge::Bottom; }
  // Extent along the movement.
  int32_t Length() const { return Vertical() ? gTransition.PicHeight : gTransition.PicWidth; }
  // The full-width (or full-height) band [a, b) along the axis, as a picture rectangle.
  Rect Span(int32_t a, int32_t b) const {
    const int32_t w = gTransition.PicWidth, h = gTransition.PicHeight;
    switch (edge) {
      case MotionEdge::Top: return {0, a, w, b};
      case MotionEdge::Bottom: return {0, h - b, w, h - a};
      case MotionEdge::Left: return {a, 0, b, h};
      case MotionEdge::Right: return {w - b, 0, w - a, h};
    }
    return {};
  }
};

}  // namespace vitrine
