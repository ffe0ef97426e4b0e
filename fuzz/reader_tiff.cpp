// Feeds arbitrary bytes to the TTIFFGraphic reader; only the system's own errors may come out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/errors.h"
#include "imaging/tiff_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vitrine::MemoryStream stream(std::vector<uint8_t>(data, data + size));
  vitrine::TTIFFGraphic reader;
  try {
    reader.LoadFromStream(stream);
  } catch (const vitrine::Error&) {
  }
  return 0;
}
