#pragma once
// Small helpers the readers share: the file's bytes from the stream, and the size check
// every reader makes before it allocates its bitmap.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/stream.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

// Everything from the stream's position to its end. A stream longer than the address space
// (only possible on the 32-bit build) is cut to what fits.
inline std::vector<uint8_t> ReadRemainingBytes(Stream& stream) {
  int64_t left = stream.Size() - stream.Position();
  if (left <= 0) return {};
  if (uint64_t(left) > uint64_t(SIZE_MAX / 2)) left = int64_t(SIZE_MAX / 2);
  std::vector<uint8_t> bytes(static_cast<size_t>(left));
  bytes.resize(stream.Read(bytes.data(), bytes.size()));
  return bytes;
}

// Refuses empty pictures and pictures above kMaxPicturePixels with "Invalid %s image format.".
inline void CheckPictureSize(int64_t width, int64_t height, std::string_view formatName) {
  if (width <= 0 || height <= 0 || width > kMaxPicturePixels || height > kMaxPicturePixels ||
      width * height > kMaxPicturePixels)
    throw EInvalidGraphic::InvalidFormat(formatName);
}

}  // namespace vitrine
