#pragma once
// Rolls (100..103): the new picture unrolls from an edge, 3 pixels per frame, with a mirrored
// 30-pixel curl ahead of its edge.
#include "transitions/transition_draw.h"

namespace vitrine {

void SetupRoll(Edge from);
bool RollFrame();

}  // namespace vitrine
