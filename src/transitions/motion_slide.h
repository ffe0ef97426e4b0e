#pragma once
// Moves (59..88): the new picture slides in from an edge or a corner, whole, in halves, in two
// or three phases, or as falling bands.
#include "transitions/transition_draw.h"

namespace vitrine {

// "Move down", "Move up", "Move right", "Move left".
void SetupSlide(Edge from);
bool SlideFrame();

// "Move from top left" and the other corners.
enum class MotionCorner { TopLeft, TopRight, BottomLeft, BottomRight };
void SetupCornerSlide(MotionCorner from);
bool CornerSlideFrame();

// "Move left right" (along x from the left edge) and "Move up down" (along y from the top).
void SetupHalvesSlide(Edge axis);
bool HalvesSlideFrame();

// "Move down 1" .. "Move down 4" and their mirrors; variant is 1..4.
void SetupPhasedSlide(Edge from, int variant);
bool PhasedSlideFrame();

// "Move down 5" and its mirrors: 15 bands fall from the edge and stack at the far side.
void SetupFallingBands(Edge from);
bool FallingBandsFrame();

}  // namespace vitrine
