#include "imaging/decoders/rla_decoder.h"

#include "imaging/decoders/byte_runs.h"

namespace vitrine {

void TRLADecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  ByteRuns runs(source, dest, packedSize, unpackedSize);
  while (runs.Going()) {
    const int count = static_cast<int8_t>(runs.Next());
    if (count >= 0) {
      if (!runs.RepeatNext(size_t(count) + 1)) break;
    } else {
      runs.CopyLiteral(size_t(-count));
    }
  }
  runs.Finish(source, dest);
}

}  // namespace vitrine
