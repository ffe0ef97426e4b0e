#pragma once
// PCX run-length bytes: a byte with both top bits set repeats the next byte (its low six bits
// times, 0 allowed); any other byte stands for itself. Runs may cross planes and rows, so the
// whole image is decoded as one stream.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TPCXRLEDecoder final : public TDecoder {
 public:
  // Stops when the destination is full (a run past it is cut) or the source ends.
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;
};

}  // namespace vitrine
