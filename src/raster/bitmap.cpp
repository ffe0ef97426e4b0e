#include "raster/bitmap.h"

#include <algorithm>

namespace vitrine {

namespace {
size_t StrideFor(int32_t width, PixelFormat f) {
  return (size_t(std::max(width, 0)) * BytesPerPixel(f) + 3) & ~size_t(3);
}
}  // namespace

void Bitmap::Reset(int32_t width, int32_t height, PixelFormat format) {
  format_ = format;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  stride_ = StrideFor(width_, format_);
  pixels_.assign(stride_ * size_t(height_), 0);
}

void Bitmap::Resize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Bitmap resized;
  resized.Reset(width, height, format_);
  int32_t keepRows = std::min(height, height_);
  size_t keepBytes = size_t(std::min(width, width_)) * BytesPerPixel();
  for (int32_t y = 0; y < keepRows; ++y) std::memcpy(resized.Row(y), Row(y), keepBytes);
  *this = std::move(resized);
}

void Bitmap::SetFormat(PixelFormat format) {
  if (format == format_) return;
  Bitmap converted;
  converted.Reset(width_, height_, format);
  for (int32_t y = 0; y < height_; ++y)
    for (int32_t x = 0; x < width_; ++x)
      converted.SetRawPixel(x, y, PackPixel(format, UnpackPixel(format_, RawPixel(x, y))));
  *this = std::move(converted);
}

bool operator==(const Bitmap& a, const Bitmap& b) {
  if (a.format_ != b.format_ || a.width_ != b.width_ || a.height_ != b.height_) return false;
  size_t rowBytes = size_t(a.width_) * a.BytesPerPixel();
  for (int32_t y = 0; y < a.height_; ++y)
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
  return true;
}

}  // namespace vitrine
