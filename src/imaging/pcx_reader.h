#pragma once
// PCX (and the .pcc/.scr names for it): 1 to 8 bits per plane, one to four planes, run-length.
#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TPCXGraphic final : public TReaderGraphic {
 public:
  TPCXGraphic() : TReaderGraphic("PCX or SCR") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
