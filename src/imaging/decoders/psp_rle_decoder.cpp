#include "imaging/decoders/psp_rle_decoder.h"

#include "imaging/decoders/byte_runs.h"

namespace vitrine {

void TPSPRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  ByteRuns runs(source, dest, packedSize, unpackedSize);
  while (runs.Going()) {
    const uint8_t code = runs.Next();
    if (code > 128) {
      if (!runs.RepeatNext(code - 128)) break;
    } else {
      runs.CopyLiteral(code);
    }
  }
  runs.Finish(source, dest);
}

}  // namespace vitrine
