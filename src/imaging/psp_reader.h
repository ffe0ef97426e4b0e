#pragma once
// Paint Shop Pro pictures of file versions 3 and 4: the composite image when a version 4
// file carries one, otherwise the visible raster layers blended bottom-up over white.
// Channels are raw, run-length (TPSPRLEDecoder) or zlib (TLZ77Decoder); 1, 4 and 8-bit
// palette pictures and 24-bit RGB.
#include "imaging/reader_graphic.h"

namespace vitrine {

class TPSPGraphic final : public TReaderGraphic {
 public:
  TPSPGraphic() : TReaderGraphic("PSP") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
