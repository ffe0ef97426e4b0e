#pragma once
// Lines: one row (or column) per frame, interlaced in two passes; "rebound" runs the second
// pass the other way round.
#include "transitions/transition_draw.h"

namespace vitrine {

// from: the edge the first pass starts at ("Line down" starts at the top).
void SetupLines(Edge from, bool rebound);
bool LinesFrame();

}  // namespace vitrine
