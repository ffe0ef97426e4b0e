#pragma once
// What a photo says about itself: the few EXIF tags and the XMP title that captions and
// orientation need.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vitrine::photo {

struct ExifFacts {
  int orientation = 1;     // 1..8; 1 when absent or out of range
  std::string dateTaken;   // "YYYY:MM:DD HH:MM:SS" (DateTimeOriginal, else DateTime); empty when absent
  std::string make, model;
  std::string description;  // ImageDescription
};

// Reads an EXIF block: a TIFF header ("II*\0" or "MM\0*") and its directories, optionally
// behind the "Exif\0\0" of a JPEG's APP1 segment. Anything damaged reads as absent; no read
// leaves the block.
ExifFacts ReadExif(std::span<const uint8_t> block);

// The EXIF block and the XMP packet of a JPEG file's APP1 segments (empty when absent).
struct JpegMetadata {
  std::vector<uint8_t> exif;
  std::string xmp;
};
JpegMetadata ReadJpegMetadata(std::span<const uint8_t> jpeg);

// The title of an XMP packet (dc:title, its first language alternative), entities decoded;
// empty when it has none.
std::string XmpTitle(const std::string& xmp);

}  // namespace vitrine::photo
