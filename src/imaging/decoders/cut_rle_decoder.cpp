#include "imaging/decoders/cut_rle_decoder.h"

#include "imaging/decoders/byte_runs.h"

namespace vitrine {

void TCUTRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  ByteRuns runs(source, dest, packedSize, unpackedSize);
  while (runs.Going()) {
    const uint8_t code = runs.Next();
    const size_t count = code & 0x7F;
    if (count == 0) break;
    if (code & 0x80) {
      if (!runs.RepeatNext(count)) break;
    } else {
      runs.CopyLiteral(count);
    }
  }
  runs.Finish(source, dest);
}

}  // namespace vitrine
