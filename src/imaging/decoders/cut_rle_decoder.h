#pragma once
// Run-length rows of Dr. Halo CUT pictures: a byte n (low 7 bits) either repeats the next
// byte n times (high bit set) or copies n bytes; 0 ends the row.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TCUTRLEDecoder final : public TDecoder {
 public:
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;
};

}  // namespace vitrine
