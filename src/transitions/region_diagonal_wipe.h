#pragma once
// Diagonal wipes: right triangles at one or two corners whose hypotenuse stays parallel to
// the other diagonal, growing ("from") or, for the "to" entries, shrinking with the new
// picture around them.
#include <cstdint>

namespace vitrine {

enum WipeCorners : uint8_t { kWipeLeftTop = 1, kWipeRightTop = 2, kWipeLeftBottom = 4, kWipeRightBottom = 8 };

// corners: one or two of WipeCorners; to: the "to" entries.
void SetupDiagonalWipe(uint8_t corners, bool to);
bool DiagonalWipeFrame();

}  // namespace vitrine
