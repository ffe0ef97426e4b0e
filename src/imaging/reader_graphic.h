#pragma once
// Base of the picture readers: each reads one whole image file from a stream into its
// bitmap, or throws (EInvalidGraphic and friends) with the exact message of its format.
#include <memory>

#include "core/stream.h"
#include "raster/bitmap.h"

namespace vitrine {

class TReaderGraphic {
 public:
  virtual ~TReaderGraphic() = default;
  // Reads the image starting at the stream's position. On success Image() holds the whole
  // picture (32 bits per pixel unless a reader says otherwise).
  virtual void LoadFromStream(Stream& stream) = 0;

  Bitmap& Image() { return image_; }
  const Bitmap& Image() const { return image_; }

 protected:
  Bitmap image_;
};

// Pictures larger than this many pixels (134 megapixels, 512 MiB decoded) are refused before
// anything is allocated: a 108-megapixel photo is inside, while a tiny run-length file
// claiming a giant mostly-empty picture, which would only exhaust a 32-bit process's memory,
// is not.
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 27;

// The reader for a picture type code (3, 4, 5 and 6 to 15), or nullptr when the code has
// none (1 and 2 are decoded by the bitmap and JPEG loaders, not by a reader).
std::unique_ptr<TReaderGraphic> CreateReader(int pictureType);

}  // namespace vitrine
