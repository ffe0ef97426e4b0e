#pragma once
// Base of the picture readers: each reads one whole image file from a stream into its
// bitmap, or throws (EInvalidGraphic and friends) with the exact message of its format.
//
// The skeleton is the same for every format: LoadFromStream takes the bytes from the
// stream's position to its end, hands them to the format's Decode, and turns running out of
// data (a ByteReader read past the end) into the format's own error, here and nowhere else.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/errors.h"
#include "core/stream.h"
#include "raster/bitmap.h"

namespace vitrine {

// Pictures larger than this many pixels (134 megapixels, 512 MiB decoded) are refused before
// anything is allocated: a 108-megapixel photo is inside, while a tiny run-length file
// claiming a giant mostly-empty picture, which would only exhaust a 32-bit process's memory,
// is not.
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 27;

// Refuses empty pictures and pictures above kMaxPicturePixels with "Invalid %s image format.".
inline void CheckPictureSize(int64_t width, int64_t height, std::string_view formatName) {
  if (width <= 0 || height <= 0 || width > kMaxPicturePixels || height > kMaxPicturePixels ||
      width * height > kMaxPicturePixels)
    throw EInvalidGraphic::InvalidFormat(formatName);
}

class TReaderGraphic {
 public:
  virtual ~TReaderGraphic() = default;
  // Reads the image starting at the stream's position; the stream is left at its end. On
  // success Image() holds the whole picture (32 bits per pixel).
  void LoadFromStream(Stream& stream);

  Bitmap& Image() { return image_; }
  const Bitmap& Image() const { return image_; }

 protected:
  explicit TReaderGraphic(std::string_view formatName) : formatName_(formatName) {}

  // Decodes a whole file into image_, which LoadFromStream has emptied (keeping its memory).
  virtual void Decode(std::span<const uint8_t> file) = 0;
  // What a file that ends too early raises: "Invalid %s image format." unless a format says
  // otherwise.
  virtual EInvalidGraphic TruncatedError() const { return EInvalidGraphic::InvalidFormat(formatName_); }

  [[noreturn]] void Invalid() const { throw EInvalidGraphic::InvalidFormat(formatName_); }
  void CheckSize(int64_t width, int64_t height) const { CheckPictureSize(width, height, formatName_); }
  std::string_view FormatName() const { return formatName_; }

  Bitmap image_;

 private:
  std::string_view formatName_;
};

// The reader for a picture type code (3, 4, 5 and 6 to 15), or nullptr when the code has
// none (1 and 2 are decoded by the bitmap and JPEG loaders, not by a reader).
std::unique_ptr<TReaderGraphic> CreateReader(int pictureType);

}  // namespace vitrine
