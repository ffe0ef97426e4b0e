#pragma once
// The eight orientations of EXIF and TIFF (tag 0x0112 / 274): how the stored rows and
// columns stand to the picture as it is meant to be seen.
#include "raster/bitmap.h"

namespace vitrine {

// Turns a stored picture upright for an orientation (2..8; others leave it alone). 5 to 8
// swap width and height: a picture stored 88 x 590 with orientation 6 shows 590 x 88.
Bitmap ApplyOrientation(const Bitmap& stored, int orientation);

}  // namespace vitrine
