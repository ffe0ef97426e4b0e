#include "imaging/decoders/sgi_rle_decoder.h"

#include <algorithm>
#include <cstring>

namespace vitrine {

void TSGIRLEDecoder::Decode(const uint8_t*& source, uint8_t*& dest, size_t packedSize, size_t unpackedSize) {
  const size_t sb = sampleBytes_;
  const uint8_t* in = source;
  const uint8_t* inEnd = source + packedSize;
  uint8_t* out = dest;
  uint8_t* outEnd = dest + unpackedSize;
  while (size_t(inEnd - in) >= sb && size_t(outEnd - out) >= sb) {
    const uint8_t control = in[sb - 1];  // the low byte carries flag and count
    in += sb;
    const size_t count = control & 0x7F;
    if (count == 0) break;
    const size_t room = size_t(outEnd - out) / sb;
    const size_t n = std::min(count, room);
    if (control & 0x80) {
      const size_t m = std::min(n, size_t(inEnd - in) / sb);
      std::memcpy(out, in, m * sb);
      out += m * sb;
      in += std::min(count, size_t(inEnd - in) / sb) * sb;
      if (m < n) break;
    } else {
      if (size_t(inEnd - in) < sb) break;
      for (size_t i = 0; i < n; ++i, out += sb) std::memcpy(out, in, sb);
      in += sb;
    }
  }
  source = in;
  dest = out;
}

}  // namespace vitrine
