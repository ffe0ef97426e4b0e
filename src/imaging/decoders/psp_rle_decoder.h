#pragma once
// Run-length channels of Paint Shop Pro pictures: a byte b above 128 repeats the next byte
// b - 128 times, otherwise b bytes are copied. One stream covers a whole channel.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TPSPRLEDecoder final : public TDecoder {
 public:
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;
};

}  // namespace vitrine
