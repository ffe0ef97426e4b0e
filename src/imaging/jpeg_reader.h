#pragma once
// JPEG pictures through libjpeg(-turbo): baseline and progressive, grey, YCbCr/RGB and
// CMYK/YCCK (Adobe inverted or plain), upright by their EXIF orientation, optionally decoded
// at a reduced scale for callers that shrink the picture anyway.
#include <cstdint>
#include <span>

#include "imaging/orientation.h"
#include "imaging/reader_graphic.h"
#include "raster/bitmap.h"

namespace vitrine {

struct JpegHeader {
  int32_t width = 0, height = 0;  // as stored, before the orientation is applied
  int orientation = 1;            // EXIF orientation 1..8 (1 when absent or unreadable)
};

// Reads the frame size and the orientation without decoding the picture.
JpegHeader ReadJpegHeader(std::span<const uint8_t> file);

// Decodes at scaleNum/8 of the stored size (scaleNum 1..8; 8 is full size) into a 32-bit
// bitmap with the EXIF orientation applied. Throws EInvalidGraphic with libjpeg's own text
// ("Invalid JPEG image format. Not a JPEG file: starts with 0x00 0x01", ...).
Bitmap DecodeJpeg(std::span<const uint8_t> file, int scaleNum = 8);
// The same into an existing bitmap, in the bitmap's own pixel format (32-bit or 5-6-5, which
// libjpeg writes directly, with no conversion pass), reusing its memory when it already has
// the picture's size (a show decoding photo after photo into one bitmap saves the page
// faults of a fresh 100 MB allocation each time). On an error the bitmap's contents are
// unspecified.
void DecodeJpeg(std::span<const uint8_t> file, Bitmap& into, int scaleNum = 8);

// The smallest scaleNum (of n/8, n = 1..8) whose decoded picture, once upright, still
// covers boxWidth x boxHeight (or the whole picture where the box is larger), so that
// shrinking it into the box afterwards loses nothing against a full-size decode.
int ChooseJpegScale(const JpegHeader& header, int32_t boxWidth, int32_t boxHeight);

// The orientation tag (0x0112) of IFD0 in an APP1 "Exif" payload (the bytes after the
// marker's length field); 1 when the payload holds none or is malformed.
int ExifOrientation(std::span<const uint8_t> app1);


class TJPEGGraphic final : public TReaderGraphic {
 public:
  TJPEGGraphic() : TReaderGraphic("JPEG") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
