#pragma once
// Autodesk Animator PIC and CEL: 8-bit indices under a 6-bit VGA palette.
#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TAutodeskGraphic final : public TReaderGraphic {
 public:
  TAutodeskGraphic() : TReaderGraphic("Autodesk") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
