#pragma once
// Wavefront RLA (and 3ds Max RPF) pictures: the active window's colour channels, 8 or 16
// bits, run-length coded per channel and stored bottom row first. Matte and auxiliary
// channels are not used; colour stays as stored (renderers store it premultiplied, which
// is the picture over black).
#include "imaging/reader_graphic.h"

namespace vitrine {

class TRLAGraphic final : public TReaderGraphic {
 public:
  TRLAGraphic() : TReaderGraphic("RLA") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
