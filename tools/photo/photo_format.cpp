#include <algorithm>
#include <cstring>

#include "core/text.h"
#include "photo/photo.h"

namespace vitrine::photo {
namespace {

bool Is(std::span<const uint8_t> data, size_t at, const char* text) {
  size_t n = std::strlen(text);
  return data.size() >= at + n && std::memcmp(data.data() + at, text, n) == 0;
}

// The brands of an ISO base media file's leading "ftyp" box: major brand first.
std::vector<std::string> Brands(std::span<const uint8_t> data) {
  std::vector<std::string> brands;
  if (!Is(data, 4, "ftyp") || data.size() < 16) return brands;
  size_t size = size_t(data[0]) << 24 | size_t(data[1]) << 16 | size_t(data[2]) << 8 | data[3];
  size = std::min(size, data.size());
  brands.emplace_back(reinterpret_cast<const char*>(data.data() + 8), 4);
  for (size_t at = 16; at + 4 <= size; at += 4) brands.emplace_back(reinterpret_cast<const char*>(data.data() + at), 4);
  return brands;
}

}  // namespace

PhotoFormat PhotoFormatOfContent(std::span<const uint8_t> data) {
  if (Is(data, 0, "RIFF") && Is(data, 8, "WEBP")) return PhotoFormat::WebP;
  if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0x0A) return PhotoFormat::JpegXl;
  static const uint8_t kJxlBox[12] = {0, 0, 0, 12, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
  if (data.size() >= 12 && std::memcmp(data.data(), kJxlBox, 12) == 0) return PhotoFormat::JpegXl;
  std::vector<std::string> brands = Brands(data);
  if (brands.empty()) return PhotoFormat::None;
  auto has = [&](std::initializer_list<const char*> names) {
    for (const char* name : names)
      if (std::find(brands.begin(), brands.end(), name) != brands.end()) return true;
    return false;
  };
  if (brands[0] == "avif" || brands[0] == "avis") return PhotoFormat::Avif;
  if (has({"heic", "heix", "heim", "heis", "hevc", "hevx"})) return PhotoFormat::Heic;
  if (has({"avif", "avis"})) return PhotoFormat::Avif;
  if (has({"mif1", "msf1"})) return PhotoFormat::Heif;
  return PhotoFormat::None;
}

const char* PhotoFormatName(PhotoFormat format) {
  switch (format) {
    case PhotoFormat::Heic: return "HEIC";
    case PhotoFormat::Heif: return "HEIF";
    case PhotoFormat::Avif: return "AVIF";
    case PhotoFormat::WebP: return "WebP";
    case PhotoFormat::JpegXl: return "JPEG XL";
    case PhotoFormat::None: break;
  }
  return "none";
}

bool IsPhotoFileName(const std::string& name) {
  std::string lower = AsciiLower(name);
  for (const char* ext : {".heic", ".heif", ".hif", ".avif", ".webp", ".jxl"})
    if (lower.size() > std::strlen(ext) && lower.ends_with(ext)) return true;
  return false;
}

void CheckDimensions(int64_t width, int64_t height) {
  // 2^28 pixels (a 16384 x 16384 square) is a gigabyte of pixels at 32 bits; no photo comes near.
  constexpr int64_t kMaxPixels = int64_t(1) << 28;
  if (width <= 0 || height <= 0) throw PhotoError("has no pixels");
  if (width > 65535 || height > 65535 || width * height > kMaxPixels)
    throw PhotoError("is " + std::to_string(width) + "x" + std::to_string(height) +
                     " pixels, more than the 268,435,456 a package picture can be made from");
}

Photo DecodePhoto(std::span<const uint8_t> data, PhotoFormat format) {
  switch (format) {
    case PhotoFormat::Heic:
    case PhotoFormat::Heif:
    case PhotoFormat::Avif: return DecodeHeif(data);
    case PhotoFormat::WebP: return DecodeWebP(data);
    case PhotoFormat::JpegXl: return DecodeJpegXl(data);
    case PhotoFormat::None: break;
  }
  throw PhotoError("is none of HEIC, HEIF, AVIF, WebP and JPEG XL");
}

}  // namespace vitrine::photo
