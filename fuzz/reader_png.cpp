// Feeds arbitrary bytes to the TPNGGraphic reader; only the system's own errors may come out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/errors.h"
#include "imaging/png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vitrine::MemoryStream stream(std::vector<uint8_t>(data, data + size));
  vitrine::TPNGGraphic reader;
  try {
    reader.LoadFromStream(stream);
  } catch (const vitrine::Error&) {
  }
  return 0;
}
