#include "imaging/decoders/pcx_rle_decoder.h"

#include "imaging/decoders/byte_runs.h"

namespace vitrine {

void TPCXRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  ByteRuns runs(source, dest, packedSize, unpackedSize);
  while (runs.Going()) {
    const uint8_t b = runs.Next();
    if ((b & 0xC0) != 0xC0) {
      runs.Put(b);
    } else if (!runs.RepeatNext(b & 0x3F)) {
      break;
    }
  }
  runs.Finish(source, dest);
}

}  // namespace vitrine
