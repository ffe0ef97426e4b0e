#pragma once
// Photo CD image pacs: the three uncompressed resolutions, luma and 2x2-shared chroma.
#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

enum class TPCDResolution {
  Base16,   // 192 x 128
  Base4,    // 384 x 256
  Base,     // 768 x 512
  FourBase,     // 1536 x 1024, Huffman-coded: not read
  SixteenBase,  // 3072 x 2048, Huffman-coded: not read
};

class TPCDGraphic final : public TReaderGraphic {
 public:
  explicit TPCDGraphic(TPCDResolution resolution = TPCDResolution::Base)
      : TReaderGraphic("PCD"), Resolution(resolution) {}

  TPCDResolution Resolution;

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
