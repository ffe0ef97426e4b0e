#pragma once
// Portable anymaps, plain and raw (P1 to P6), up to 16 bits per sample.
#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TPPMGraphic final : public TReaderGraphic {
 public:
  TPPMGraphic() : TReaderGraphic("PBM, PGM or PPM") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
