#pragma once
// Photoshop pictures (.psd, .pdd, and the large-document variant): the merged image, raw,
// PackBits or zip-compressed; bitmap, grey, duotone, indexed, RGB, CMYK, Lab and
// multichannel modes at 1, 8 and 16 bits. Extra (alpha and spot) channels are not used.
#include "imaging/reader_graphic.h"

namespace vitrine {

class TPSDGraphic final : public TReaderGraphic {
 public:
  TPSDGraphic() : TReaderGraphic("PSD or PDD") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
