#pragma once
// Rain: strip by strip from an edge, the current strip streaked from its place to the far
// edge.
#include "transitions/transition_draw.h"

namespace vitrine {

// from: the edge the rain starts at ("Rain down" starts at the top).
void SetupRain(Edge from);
bool RainFrame();

}  // namespace vitrine
