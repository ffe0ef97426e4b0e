#include "imaging/decoders/packbits_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TPackbitsRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize,
                                 size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  while (in < inEnd && out < outEnd) {
    const int header = static_cast<int8_t>(*in++);
    if (header == -128) continue;
    if (header >= 0) {
      const size_t want = size_t(header) + 1;
      const size_t n = std::min({want, size_t(outEnd - out), size_t(inEnd - in)});
      std::memcpy(out, in, n);
      out += n;
      in += std::min(want, size_t(inEnd - in));
    } else {
      if (in >= inEnd) break;
      const uint8_t value = *in++;
      const size_t n = std::min(size_t(1 - header), size_t(outEnd - out));
      std::memset(out, value, n);
      out += n;
    }
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
