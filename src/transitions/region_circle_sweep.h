#pragma once
// Circle sweeps: a ray from a pivot runs round the border, from the bottom-right corner up
// the right edge, along the top, down the left edge and along the bottom, and the new
// picture shows in the polygon it has swept.
#include <cstdint>

namespace vitrine {

// (cx, cy): the pivot, passed by the catalogue (a corner, the centre or a random point).
void SetupCircleSweep(int32_t cx, int32_t cy);
bool CircleSweepFrame();

}  // namespace vitrine
