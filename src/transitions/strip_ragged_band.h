#pragma once
// Ragged bands: 5-pixel (or 1-pixel) bands across the area, each drawn every frame from its
// edge to a fresh random depth ahead of the common front.
#include <cstdint>

#include "transitions/transition_draw.h"

namespace vitrine {

// from: the edge the bands grow from; bandSize 5 ("large") or 1 ("small").
void SetupRaggedBand(Edge from, int32_t bandSize);
bool RaggedBandFrame();

}  // namespace vitrine
