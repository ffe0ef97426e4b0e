#pragma once
// PNG pictures: every colour type and bit depth, Adam7, the palette and its transparency,
// gamma against a 2.2 display. Chunks are checked with their CRC-32; IDAT data is inflated
// chunk by chunk straight into the buffer of filtered rows, never past its expected size.
#include <cstdint>
#include <vector>

#include "imaging/reader_graphic.h"

namespace vitrine {

class TPNGGraphic final : public TReaderGraphic {
 public:
  TPNGGraphic() : TReaderGraphic("PNG") {}

  // What the last load found besides the pixels: gAMA's gamma (0 when absent), and the raw
  // data of tRNS and bKGD (empty when absent). The bitmap itself has no alpha.
  double FileGamma = 0;
  std::vector<uint8_t> Transparency;
  std::vector<uint8_t> Background;

 private:
  void Decode(std::span<const uint8_t> file) override;
  // A file cut short is "Load image error!", as every other damage inside the chunks.
  EInvalidGraphic TruncatedError() const override;
};

}  // namespace vitrine
