#pragma once
// The size check every reader makes before it allocates its bitmap.
#include <cstdint>
#include <string_view>

#include "core/errors.h"
#include "core/stream.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

// Refuses empty pictures and pictures above kMaxPicturePixels with "Invalid %s image format.".
inline void CheckPictureSize(int64_t width, int64_t height, std::string_view formatName) {
  if (width <= 0 || height <= 0 || width > kMaxPicturePixels || height > kMaxPicturePixels ||
      width * height > kMaxPicturePixels)
    throw EInvalidGraphic::InvalidFormat(formatName);
}

}  // namespace vitrine
