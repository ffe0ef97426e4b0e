#pragma once
// Blocks (20, 21): an 8 x 8 grid revealed one cell per frame along a square spiral, from the
// centre outwards or the reverse.
#include <cstdint>

namespace vitrine {

void SetupBlocks(bool fromCenter);
bool BlocksFrame();

// The spiral's step p (0..63) as (column, row); for tests.
void BlockSpiralStep(int32_t p, int32_t& column, int32_t& row);

}  // namespace vitrine
