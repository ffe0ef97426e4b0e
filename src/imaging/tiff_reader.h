#pragma once
// TIFF pictures (type code 5), decoded by libtiff from memory: strips or tiles, any
// compression and photometric layout libtiff's RGBA interface handles. Built without
// libtiff, the reader reports the format as unsupported.
#include "imaging/reader_graphic.h"

namespace vitrine {

class TTIFFGraphic final : public TReaderGraphic {
 public:
  TTIFFGraphic() : TReaderGraphic("TIFF") {}
  // True when the build has libtiff behind this reader.
  static bool Available();

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
