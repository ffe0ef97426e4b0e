#pragma once
// Rolls (100..103): the new picture unrolls from an edge, 3 pixels per frame, with a mirrored
// 30-pixel curl ahead of its edge.
#include "transitions/catalogue.h"
#include "transitions/motion_axis.h"

namespace vitrine {

void SetupRoll(const TransitionSetupArgs& args, MotionEdge from);
bool RollFrame();

}  // namespace vitrine
