#pragma once
// GIF pictures: the first image of the file, with its local or the global colour table,
// interlaced or not. Extensions are walked block by block and not used.
#include "imaging/reader_graphic.h"

namespace vitrine {

class TGIFGraphic final : public TReaderGraphic {
 public:
  TGIFGraphic() : TReaderGraphic("GIF") {}

 private:
  void Decode(std::span<const uint8_t> file) override;
};

}  // namespace vitrine
