// A build without libheif, libwebp and libjxl (the Windows builds' tool): those formats are
// recognised and refused with a reason, everything else packs as usual.
#include "photo/photo.h"

namespace vitrine::photo {
namespace {

[[noreturn]] void Refuse(const char* format) {
  throw PhotoError(std::string("is ") + format + ", which this vitrine was built without (use the Linux tool)");
}

}  // namespace

Photo DecodeHeif(std::span<const uint8_t>) { Refuse("HEIF or AVIF"); }
Photo DecodeWebP(std::span<const uint8_t>) { Refuse("WebP"); }
Photo DecodeJpegXl(std::span<const uint8_t>) { Refuse("JPEG XL"); }

}  // namespace vitrine::photo
