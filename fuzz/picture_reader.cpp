// Feeds arbitrary bytes to the picture reader of one type code (VITRINE_FUZZ_PICTURE_TYPE,
// set per target by fuzz/CMakeLists.txt); only the system's own errors may come out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/errors.h"
#include "imaging/reader_graphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vitrine::MemoryStream stream(std::vector<uint8_t>(data, data + size));
  auto reader = vitrine::CreateReader(VITRINE_FUZZ_PICTURE_TYPE);
  try {
    reader->LoadFromStream(stream);
  } catch (const vitrine::Error&) {
  }
  return 0;
}
