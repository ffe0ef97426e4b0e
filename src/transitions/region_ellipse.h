#pragma once
// Ellipses: the new picture through an ellipse in the picture's proportions growing from the
// centre, around one shrinking to it, or through a circle growing from a random centre.
#include <cstdint>

namespace vitrine {

enum class EllipseKind { FromCentre, ToCentre, Random };

// (ex, ey): the centre of the random circle, drawn by the caller; unused otherwise.
void SetupEllipse(EllipseKind kind, int32_t ex, int32_t ey);
bool EllipseFrame();

}  // namespace vitrine
