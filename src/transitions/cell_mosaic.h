#pragma once
// Mosaic (58): a 20 x 20 grid revealed one cell per frame in random order.

namespace vitrine {

void SetupMosaic();
bool MosaicFrame();

}  // namespace vitrine
