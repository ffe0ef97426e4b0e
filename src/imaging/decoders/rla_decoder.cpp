#include "imaging/decoders/rla_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TRLADecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  while (in < inEnd && out < outEnd) {
    const int count = static_cast<int8_t>(*in++);
    if (count >= 0) {
      if (in >= inEnd) break;
      const uint8_t value = *in++;
      const size_t n = std::min(size_t(count) + 1, size_t(outEnd - out));
      std::memset(out, value, n);
      out += n;
    } else {
      const size_t want = size_t(-count);
      const size_t n = std::min({want, size_t(outEnd - out), size_t(inEnd - in)});
      std::memcpy(out, in, n);
      out += n;
      in += std::min(want, size_t(inEnd - in));
    }
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
