// Feeds arbitrary bytes to the BMP reader; only the system's own errors may come out.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/errors.h"
#include "imaging/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    vitrine::DecodeBmp(std::span<const uint8_t>(data, size));
  } catch (const vitrine::Error&) {
  }
  return 0;
}
