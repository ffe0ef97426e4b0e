#include "core/errors.h"

namespace vitrine {

std::string FormatWithString(std::string_view format, std::string_view arg) {
  std::string out(format);
  auto at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

EConvertError EConvertError::NotAnInteger(std::string_view text) {
  return EConvertError(FormatWithString("'%s' is not a valid integer value", text));
}

EListError EListError::OutOfBounds(long long index) {
  return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

EInvalidGraphic EInvalidGraphic::InvalidFormat(std::string_view formatName) {
  return EInvalidGraphic(FormatWithString("Invalid %s image format.", formatName));
}

EInvalidGraphic EInvalidGraphic::UnsupportedFormat() { return EInvalidGraphic("Unsupport image format!"); }

EInvalidGraphic EInvalidGraphic::InvalidColorFormat() { return EInvalidGraphic("Invalid color format."); }

EFCreateError EFCreateError::CannotCreate(std::string_view path) {
  return EFCreateError(FormatWithString("Cannot create file %s", path));
}

}  // namespace vitrine
