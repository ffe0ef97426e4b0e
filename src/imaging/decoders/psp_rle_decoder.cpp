#include "imaging/decoders/psp_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TPSPRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  while (in < inEnd && out < outEnd) {
    const uint8_t code = *in++;
    if (code > 128) {
      if (in >= inEnd) break;
      const uint8_t value = *in++;
      const size_t n = std::min(size_t(code - 128), size_t(outEnd - out));
      std::memset(out, value, n);
      out += n;
    } else {
      const size_t n = std::min({size_t(code), size_t(outEnd - out), size_t(inEnd - in)});
      std::memcpy(out, in, n);
      out += n;
      in += std::min(size_t(code), size_t(inEnd - in));
    }
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
