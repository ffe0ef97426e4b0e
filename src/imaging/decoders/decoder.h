#pragma once
// Base of the decompressors the readers share. Decode() advances both positions; a decoder
// never reads before source or past sourceEnd, and never writes past destEnd.
#include <cstddef>
#include <cstdint>

namespace vitrine {

class TDecoder {
 public:
  virtual ~TDecoder() = default;
  // Decodes packedSize bytes at source into unpackedSize bytes at dest, advancing both
  // pointers past what was consumed and produced.
  virtual void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) = 0;
  virtual void DecodeEnd() {}
  virtual void DecodeInit() {}
};

}  // namespace vitrine
