// The LZMA decoder on arbitrary bytes: the first two give the output limit (so that small and
// large limits are tried), the next five are the properties, the rest the stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/lzma.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7) return 0;
  std::span<const uint8_t> bytes(data, size);
  size_t limit = (size_t(data[0]) << 8 | data[1]) * 16;
  std::vector<uint8_t> out;
  (void)vitrine::LzmaDecode(bytes.subspan(2, 5), bytes.subspan(7), limit, out);
  if (out.size() > limit) __builtin_trap();
  return 0;
}
