#pragma once
// The two forms a converted picture is stored in, and the shrinking on the way.
#include <cstdint>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine::photo {

// Baseline JPEG of the picture's colours (the top byte of each pixel is ignored), 4:2:0 as
// cameras write them, without any metadata: the picture is already upright.
std::vector<uint8_t> EncodeJpeg(const Bitmap& pixels, int quality);
// PNG, 8 bits per channel: RGBA when withAlpha (alpha from each pixel's top byte), else RGB.
std::vector<uint8_t> EncodePhotoPng(const Bitmap& pixels, bool withAlpha);

// The size (width, height) that fits inside maxWidth x maxHeight with the picture's shape;
// the picture's own size when it already fits.
void FitSize(int32_t width, int32_t height, int32_t maxWidth, int32_t maxHeight, int32_t& outWidth, int32_t& outHeight);
// Shrinks a 32-bit picture to width x height, each target pixel the average of the area of
// source pixels it covers (all four bytes of a pixel alike).
Bitmap ShrinkTo(const Bitmap& source, int32_t width, int32_t height);

}  // namespace vitrine::photo
