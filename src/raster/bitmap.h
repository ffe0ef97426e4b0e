#pragma once
// Off-screen bitmaps in the two pixel formats the system draws in.
#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/geometry.h"

namespace vitrine {

enum class PixelFormat {
  Rgb565,    // 16 bits: red in bits 11-15, green 5-10, blue 0-4
  Xrgb8888,  // 32 bits, as a little-endian word 0x00RRGGBB (bytes B, G, R, 0 in memory)
};

// The format a show draws in when its package does not choose one: 16 bits, as the screens
// of the original player's time had. A package's ColourDepth picks the format of each show.
inline constexpr PixelFormat kDefaultShowPixelFormat = PixelFormat::Rgb565;

constexpr int BytesPerPixel(PixelFormat f) { return f == PixelFormat::Rgb565 ? 2 : 4; }

// Colour value <-> pixel. 8-bit channels are truncated to 5/6 bits on the way in, and the
// high bits are repeated into the low ones on the way out (so white stays white).
constexpr uint32_t PackPixel(PixelFormat f, Color c) {
  if (f == PixelFormat::Rgb565)
    return ((RedOf(c) >> 3) << 11) | ((GreenOf(c) >> 2) << 5) | (BlueOf(c) >> 3);
  return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
}
constexpr Color UnpackPixel(PixelFormat f, uint32_t p) {
  if (f == PixelFormat::Rgb565) {
    uint8_t r5 = (p >> 11) & 31, g6 = (p >> 5) & 63, b5 = p & 31;
    return RGBColor(uint8_t((r5 << 3) | (r5 >> 2)), uint8_t((g6 << 2) | (g6 >> 4)), uint8_t((b5 << 3) | (b5 >> 2)));
  }
  return RGBColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int32_t width, int32_t height, PixelFormat format = PixelFormat::Xrgb8888) : format_(format) {
    Resize(width, height);
  }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  PixelFormat Format() const { return format_; }
  int BytesPerPixel() const { return vitrine::BytesPerPixel(format_); }
  // Bytes from one row to the next; rows are stored top-down, each 4-byte aligned.
  size_t Stride() const { return stride_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  // New size; the pixels that lie inside both sizes are kept, new ones are black.
  void Resize(int32_t width, int32_t height);
  // New format; the picture is converted.
  void SetFormat(PixelFormat format);
  // Size and format at once, contents black (cheaper than Resize when nothing is kept).
  void Reset(int32_t width, int32_t height, PixelFormat format);

  uint8_t* Row(int32_t y) { return pixels_.data() + size_t(y) * stride_; }
  const uint8_t* Row(int32_t y) const { return pixels_.data() + size_t(y) * stride_; }
  uint8_t* Bits() { return pixels_.data(); }
  const uint8_t* Bits() const { return pixels_.data(); }

  uint32_t RawPixel(int32_t x, int32_t y) const {
    if (format_ == PixelFormat::Rgb565) return reinterpret_cast<const uint16_t*>(Row(y))[x];
    return reinterpret_cast<const uint32_t*>(Row(y))[x];
  }
  void SetRawPixel(int32_t x, int32_t y, uint32_t p) {
    if (format_ == PixelFormat::Rgb565) reinterpret_cast<uint16_t*>(Row(y))[x] = static_cast<uint16_t>(p);
    else reinterpret_cast<uint32_t*>(Row(y))[x] = p;
  }
  // Colour access with bounds checks: outside the bitmap GetPixel gives black and SetPixel
  // does nothing.
  Color GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
    return UnpackPixel(format_, RawPixel(x, y));
  }
  void SetPixel(int32_t x, int32_t y, Color c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    SetRawPixel(x, y, PackPixel(format_, c));
  }

  friend bool operator==(const Bitmap& a, const Bitmap& b);

 private:
  PixelFormat format_ = PixelFormat::Xrgb8888;
  int32_t width_ = 0, height_ = 0;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace vitrine
