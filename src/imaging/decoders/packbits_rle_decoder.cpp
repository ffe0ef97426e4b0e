#include "imaging/decoders/packbits_rle_decoder.h"

#include "imaging/decoders/byte_runs.h"

namespace vitrine {

void TPackbitsRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize,
                                 size_t unpackedSize) {
  ByteRuns runs(source, dest, packedSize, unpackedSize);
  while (runs.Going()) {
    const int header = static_cast<int8_t>(runs.Next());
    if (header == -128) continue;
    if (header >= 0) {
      runs.CopyLiteral(size_t(header) + 1);
    } else if (!runs.RepeatNext(size_t(1 - header))) {
      break;
    }
  }
  runs.Finish(source, dest);
}

}  // namespace vitrine
