#pragma once
// Bars (133..140): the area cut into two halves that slide in ("move") or are uncovered in
// place ("wipe") from opposite edges.
#include "transitions/transition_draw.h"

namespace vitrine {

// firstFrom is the edge the first half (left or top) comes from; the second half comes from
// the opposite edge. Top/Bottom: the "Tow bar" entries, halves cut at W div 2 + 1;
// Left/Right: the "Two bar" entries, halves cut at H div 2 + 1.
void SetupBars(Edge firstFrom, bool moving);
bool BarsFrame();

}  // namespace vitrine
