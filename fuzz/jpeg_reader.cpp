// Feeds arbitrary bytes to the JPEG decoder, at full and reduced scale; only the system's own
// errors may come out, and libjpeg must never end the process.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/errors.h"
#include "imaging/jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  try {
    vitrine::JpegHeader header = vitrine::ReadJpegHeader(bytes);
    vitrine::DecodeJpeg(bytes, vitrine::ChooseJpegScale(header, 64, 48));
    vitrine::DecodeJpeg(bytes);
  } catch (const vitrine::Error&) {
  }
  return 0;
}
