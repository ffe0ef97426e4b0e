#pragma once
// Truevision Targa: colour-mapped, true-colour and grey images, plain or run-length.
#include <string>

#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TTargaGraphic final : public TReaderGraphic {
 public:
  TTargaGraphic() : TReaderGraphic("Targa") {}

  // The image ID text that follows the header (kept, not shown).
  std::string ImageID;

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
