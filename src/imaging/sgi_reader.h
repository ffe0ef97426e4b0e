#pragma once
// SGI image (.sgi .rgb .rgba .bw): verbatim or run-length, 1 or 2 bytes per sample, 1 to 4 channels.
#include "imaging/color_manager.h"
#include "imaging/reader_graphic.h"

namespace vitrine {

class TSGIGraphic final : public TReaderGraphic {
 public:
  TSGIGraphic() : TReaderGraphic("sgi, bw or rgb(a)") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
  TColorManager colorManager_;
};

}  // namespace vitrine
