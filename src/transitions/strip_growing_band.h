#pragma once
// Growing ragged bands: a rectangle in the picture's proportions grows from a corner or the
// centre (or, "to centre", the new picture closes in around a shrinking one), its inner
// edges cut into strips of the band width that each reach a random way further.
#include <cstdint>

namespace vitrine {

enum class BandAnchor { LeftTop, RightTop, LeftBottom, RightBottom, Centre };

void SetupGrowingBand(BandAnchor anchor, bool toCentre);
// w: the band width, 15 for "large" and 5 for "small".
bool GrowingBandFrame(int32_t w);

}  // namespace vitrine
