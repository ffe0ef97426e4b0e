#pragma once
// Blending two pictures of the same size into a third, for the fading transitions. Both
// sources and the destination share one pixel format. At 16 bits the blend is worked out in
// 1/256 steps of each channel's own levels and put down through a 4 x 4 ordered dither, so a slow fade between two
// smooth pictures does not show bands.
#include <cstdint>

#include "raster/bitmap.h"

namespace vitrine {

// The weight of the second picture, 0 (all `from`) to kBlendOne (all `to`).
inline constexpr int32_t kBlendOne = 256;

// Row y of the area: `count` pixels of `from` and `to` starting at column x of both, blended
// by weight into dest starting at its column destX of its row destY. The dither follows the
// destination's own coordinates, so the pattern stands still on the screen.
void BlendRow(Bitmap& dest, int32_t destX, int32_t destY, const Bitmap& from, const Bitmap& to, int32_t x, int32_t y,
              int32_t count, int32_t weight);

// The whole rectangle r of from and to (same size, same format as dest) blended into dest at
// (destX, destY); r must lie inside both sources and its target inside dest.
void BlendRect(Bitmap& dest, int32_t destX, int32_t destY, const Bitmap& from, const Bitmap& to, const Rect& r,
               int32_t weight);

// The 4 x 4 ordered-dither threshold for a pixel, 0..15.
inline int32_t DitherThreshold(int32_t x, int32_t y) {
  static constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return kBayer[y & 3][x & 3];
}

// A channel blended at 1/256 of its own levels (level * 256) put down to a whole level: it
// rounds up when the fraction is above the pixel's dither threshold, so over a 4 x 4 block
// the levels average out to the blend.
inline uint32_t DitherLevel(uint32_t level256, int32_t threshold) {
  return (level256 >> 8) + ((level256 & 255u) > uint32_t(threshold) * 16u + 8u ? 1u : 0u);
}

}  // namespace vitrine
