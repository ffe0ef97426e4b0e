#pragma once
// Windows bitmap files (.bmp, .dib with a file header): core, info, V2-V5 and OS/2 2.x
// headers; 1, 4, 8, 16, 24 and 32 bits per pixel; RLE4/RLE8; bit fields; either row order.
#include <cstdint>
#include <span>

#include "imaging/reader_graphic.h"
#include "raster/bitmap.h"

namespace vitrine {

// Decodes a whole BMP file into a 32-bit bitmap. Throws EInvalidGraphic
// ("Invalid BMP image format." for a damaged or truncated file, a specific text for
// variants that are valid but not read, such as embedded JPEG/PNG).
Bitmap DecodeBmp(std::span<const uint8_t> file);

// The same as a reader, for callers that go through TReaderGraphic.
class TBmpGraphic final : public TReaderGraphic {
 public:
  TBmpGraphic() : TReaderGraphic("BMP") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
