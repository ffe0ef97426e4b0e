#include "imaging/orientation.h"

namespace vitrine {

Bitmap ApplyOrientation(const Bitmap& src, int orientation) {
  if (orientation < 2 || orientation > 8) return src;
  int32_t w = src.Width(), h = src.Height();
  bool swap = orientation >= 5;
  Bitmap out(swap ? h : w, swap ? w : h, src.Format());
  int32_t ow = out.Width(), oh = out.Height();
  for (int32_t y = 0; y < oh; ++y) {
    for (int32_t x = 0; x < ow; ++x) {
      int32_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;                    // mirrored
        case 3: sx = w - 1 - x, sy = h - 1 - y; break;    // upside down
        case 4: sy = h - 1 - y; break;                    // mirrored upside down
        case 5: sx = y, sy = x; break;                    // transposed
        case 6: sx = y, sy = h - 1 - x; break;            // turned left: rotate clockwise
        case 7: sx = w - 1 - y, sy = h - 1 - x; break;    // transverse
        case 8: sx = w - 1 - y, sy = x; break;            // turned right: rotate anticlockwise
      }
      out.SetRawPixel(x, y, src.RawPixel(sx, sy));
    }
  }
  return out;
}

}  // namespace vitrine
