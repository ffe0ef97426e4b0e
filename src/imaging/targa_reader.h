#pragma once
// Truevision Targa: colour-mapped, true-colour and grey images, plain or run-length.
#include <string>

#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TTargaGraphic final : public TReaderGraphic {
 public:
  void LoadFromStream(Stream& stream) override;

  // The image ID text that follows the header (kept, not shown).
  std::string ImageID;

 private:
  TColorManager colorManager_;
};

}  // namespace vitrine
