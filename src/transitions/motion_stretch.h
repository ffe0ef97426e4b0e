#pragma once
// Stretches (120..128): the whole new picture squeezed into a rectangle growing from an edge,
// a corner or the centre; and the "Show from" corners (112..115), the same corner growth
// uncovering the picture in place.
#include "transitions/motion_slide.h"

namespace vitrine {

enum class StretchAnchor { Top, Bottom, Left, Right, TopLeft, TopRight, BottomLeft, BottomRight, Center };

void SetupStretch(StretchAnchor anchor);
bool StretchFrame();

void SetupShowCorner(MotionCorner corner);
bool ShowCornerFrame();

}  // namespace vitrine
