#include "imaging/decoders/targa_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TTargaRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  const size_t px = pixelBytes_ ? pixelBytes_ : 1;
  while (in < inEnd && size_t(outEnd - out) >= px) {
    const uint8_t header = *in++;
    size_t count = size_t(header & 0x7F) + 1;
    count = std::min(count, size_t(outEnd - out) / px);
    if (header & 0x80) {
      if (size_t(inEnd - in) < px) break;
      for (size_t i = 0; i < count; ++i, out += px) std::memcpy(out, in, px);
      in += px;
    } else {
      const size_t available = size_t(inEnd - in) / px;
      const size_t n = std::min(count, available);
      std::memcpy(out, in, n * px);
      in += n * px;
      out += n * px;
      if (n < count) break;
      // Literal pixels beyond the image are skipped so the source stays in step.
      const size_t skipped = std::min(size_t((header & 0x7F) + 1) - count, size_t(inEnd - in) / px);
      in += skipped * px;
    }
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
