#pragma once
// Pictures from today's cameras and phones (HEIC/HEIF, AVIF, WebP, JPEG XL), which the player
// cannot read, decoded at pack time into 8-bit pixels the package builder turns into a JPEG
// or PNG. Only the vitrine tool links this library; the players stay free of these codecs.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "raster/bitmap.h"

namespace vitrine::photo {

enum class PhotoFormat { None, Heic, Heif, Avif, WebP, JpegXl };

// The format a file's first bytes show (an ISO box "ftyp" with its brands, "RIFF....WEBP",
// a JPEG XL code stream or container), or None.
PhotoFormat PhotoFormatOfContent(std::span<const uint8_t> data);
// "HEIC", "HEIF", "AVIF", "WebP", "JPEG XL".
const char* PhotoFormatName(PhotoFormat format);
// Whether a file name's extension is one of these formats' (.heic .heif .hif .avif .webp .jxl).
bool IsPhotoFileName(const std::string& name);

// A damaged or unsupported file; what() is the reason, for one line after the file's name.
class PhotoError : public std::exception {
 public:
  explicit PhotoError(std::string reason) : reason_(std::move(reason)) {}
  const char* what() const noexcept override { return reason_.c_str(); }

 private:
  std::string reason_;
};

// A decoded picture, upright: 32-bit pixels 0xAARRGGBB (the top byte, unused by the show's
// bitmaps, carries the alpha here), with hasAlpha when any pixel is not opaque.
struct Photo {
  Bitmap pixels;
  bool hasAlpha = false;
  std::vector<uint8_t> exif;  // the EXIF block from its TIFF header on, if the file has one
  std::string xmp;            // the XMP packet, if any
  int32_t storedBits = 8;     // bits per channel in the file
};

// Raises PhotoError. Orientation is applied: HEIF's irot/imir and JPEG XL's own by their
// decoders, a WebP's EXIF orientation here. Pictures of more than 8 bits come down to 8,
// through a tone curve where they carry HDR (PQ or HLG) transfer.
Photo DecodePhoto(std::span<const uint8_t> data, PhotoFormat format);

// Each format's decoder; DecodePhoto picks one.
Photo DecodeHeif(std::span<const uint8_t> data);
Photo DecodeWebP(std::span<const uint8_t> data);
Photo DecodeJpegXl(std::span<const uint8_t> data);

// Refuses pictures no package could hold, before any pixel memory is asked for.
void CheckDimensions(int64_t width, int64_t height);

}  // namespace vitrine::photo
