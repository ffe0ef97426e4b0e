#pragma once
// PackBits, as Photoshop stores its rows: a signed header n copies n + 1 bytes (0..127),
// repeats the next byte 1 - n times (-1..-127), or does nothing (-128).
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TPackbitsRLEDecoder final : public TDecoder {
 public:
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;
};

}  // namespace vitrine
