#pragma once
// SGI run-length rows: elements of one or two bytes (big-endian); an element's low seven bits
// count, its bit 7 marks that many literal elements, otherwise the next element is repeated.
// A zero count ends the row. One call decodes one row of one channel.
#include "imaging/decoders/decoder.h"

namespace vitrine {

class TSGIRLEDecoder final : public TDecoder {
 public:
  explicit TSGIRLEDecoder(int bytesPerSample) : sampleBytes_(bytesPerSample == 2 ? 2 : 1) {}
  // Stops at the end marker, when the destination is full (rows that would emit more are cut:
  // real files stop at the width without a marker) or when the source ends.
  void Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) override;

 private:
  size_t sampleBytes_;
};

}  // namespace vitrine
