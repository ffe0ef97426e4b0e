#pragma once
// A picture file made ready for the package: photos the player cannot read converted, pictures
// above the size limit shrunk, each with what its metadata says for captions.
#include <cstdint>
#include <string>
#include <vector>

#include "photo/photo.h"

namespace vitrine::photo {

struct PrepareOptions {
  int32_t maxWidth = 7680, maxHeight = 4320;  // larger pictures are shrunk to fit
  int jpegQuality = 92;
};

struct PreparedPicture {
  std::vector<uint8_t> data;  // what the package stores
  int32_t pictureType = -1;   // the player's picture type code of data
  // What the stored picture was made from, as "HEIC 4032x3024"; empty when stored as it came.
  std::string convertedFrom;
  int32_t width = 0, height = 0;  // the stored picture's size, where known
  std::vector<uint8_t> exif;      // the file's metadata, for captions
  std::string xmp;
};

// Photos (HEIC/HEIF, AVIF, WebP, JPEG XL, told by content) become JPEG, or PNG when they have
// transparency, upright and within the limit. A picture the player reads (pictureType, with
// its size width x height as the player decodes it) is kept as it is unless larger than the
// limit: then a JPEG is shrunk into a JPEG, other types into a PNG (which keeps the exact
// colours a transparent item's key colour needs). Raises PhotoError for a damaged photo.
PreparedPicture PreparePicture(const std::vector<uint8_t>& data, int32_t pictureType, int32_t width, int32_t height,
                               const PrepareOptions& options);

}  // namespace vitrine::photo
