#pragma once
// A bilinear scaler in fixed point, for pictures that move and zoom slowly: the source
// rectangle is given in 1/65536 of a pixel, so a framing that moves by a fraction of a pixel
// from one frame to the next moves the picture by that fraction, not in whole-pixel jumps.
#include <cstdint>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine {

// A rectangle in 16.16 fixed point.
struct FixedRect {
  int64_t left = 0, top = 0, width = 0, height = 0;
};

inline constexpr int64_t kFixedOne = 65536;

class BilinearScaler {
 public:
  // Draws the part `source` (16.16, inside the bitmap) of `picture` (32 bits) into the
  // rectangle `target` of dest (either format; at 16 bits through the ordered dither). Parts
  // of target outside dest are left out.
  void Draw(Bitmap& dest, const Rect& target, const Bitmap& picture, const FixedRect& source);

 private:
  std::vector<int32_t> columns_;   // source column of each target column, at most width - 2
  std::vector<uint16_t> weights_;  // its weight towards the next column, 0..256
  std::vector<uint32_t> row_;      // one target row at 32 bits
};

// A copy of picture at half the size (2 x 2 boxes averaged), as often as it takes for it to
// be no more than twice `width` x `height`: a bilinear scaler reading from it then never
// skips source pixels, which would make a slow pan shimmer. Returns a 32-bit picture.
Bitmap ReduceForScaling(const Bitmap& picture, int32_t width, int32_t height);

}  // namespace vitrine
