#include "imaging/decoders/pcx_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TPCXRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  while (in < inEnd && out < outEnd) {
    const uint8_t b = *in++;
    if ((b & 0xC0) != 0xC0) {
      *out++ = b;
      continue;
    }
    if (in >= inEnd) break;
    const uint8_t value = *in++;
    const size_t count = std::min(size_t(b & 0x3F), size_t(outEnd - out));
    std::memset(out, value, count);
    out += count;
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
