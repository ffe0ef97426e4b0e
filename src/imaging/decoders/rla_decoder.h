#pragma once
// Run-length channel rows of Wavefront RLA pictures: a signed count c either repeats the
// next byte c + 1 times (c >= 0) or copies -c bytes.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TRLADecoder final : public TDecoder {
 public:
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;
};

}  // namespace vitrine
