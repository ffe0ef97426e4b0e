#include "imaging/pcd_reader.h"

#include <cstring>

#include "core/byte_reader.h"
#include "core/errors.h"

namespace vitrine {

namespace {

constexpr size_t kSignatureAt = 0x800;
constexpr size_t kOrientationAt = 0xE02;

struct Layout {
  int32_t width, height;
  size_t offset;
};

}  // namespace

void TPCDGraphic::Decode(std::span<const uint8_t> file) {
  Layout layout;
  switch (Resolution) {
    case TPCDResolution::Base16: layout = {192, 128, 0x2000}; break;
    case TPCDResolution::Base4: layout = {384, 256, 0xB800}; break;
    case TPCDResolution::Base: layout = {768, 512, 0x30000}; break;
    default: throw EInvalidGraphic::UnsupportedFormat();
  }
  ByteReader in(file);
  in.Seek(kSignatureAt);
  if (std::memcmp(in.Bytes(7).data(), "PCD_IPI", 7) != 0) Invalid();
  in.Seek(kOrientationAt);
  const int rotation = in.U8() & 3;

  const int32_t w = layout.width, h = layout.height;
  in.Seek(layout.offset);
  auto data = in.Bytes(size_t(w) * h * 3 / 2);

  colorManager_.SourceScheme = TColorScheme::PhotoYCC;
  colorManager_.SourceBitsPerSample = 8;
  colorManager_.SourceSamplesPerPixel = 3;
  colorManager_.SetupConversion();

  // Each pair of rows: luma of both rows, then the shared C1 and C2 halves.
  Bitmap landscape(w, h, PixelFormat::Xrgb8888);
  std::vector<uint8_t> ycc(size_t(w) * 3);
  for (int32_t pair = 0; pair < h / 2; ++pair) {
    const uint8_t* block = data.data() + size_t(pair) * w * 3;
    const uint8_t* c1 = block + 2 * w;
    const uint8_t* c2 = c1 + w / 2;
    for (int32_t r = 0; r < 2; ++r) {
      const uint8_t* luma = block + size_t(r) * w;
      for (int32_t x = 0; x < w; ++x) {
        ycc[3 * x] = luma[x];
        ycc[3 * x + 1] = c1[x / 2];
        ycc[3 * x + 2] = c2[x / 2];
      }
      colorManager_.ConvertRow(ycc.data(), landscape.Row(2 * pair + r), w);
    }
  }

  // Portraits are stored on their side; the low bits of the orientation byte say which way
  // to turn them back (1: a quarter turn counter-clockwise, 3: clockwise).
  if (rotation == 0) {
    image_ = std::move(landscape);
    return;
  }
  const bool quarter = rotation != 2;
  image_.Reset(quarter ? h : w, quarter ? w : h, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(landscape.Row(y));
    for (int32_t x = 0; x < w; ++x) {
      int32_t tx, ty;
      if (rotation == 1) { tx = y; ty = w - 1 - x; }
      else if (rotation == 3) { tx = h - 1 - y; ty = x; }
      else { tx = w - 1 - x; ty = h - 1 - y; }
      reinterpret_cast<uint32_t*>(image_.Row(ty))[tx] = src[x];
    }
  }
}

}  // namespace vitrine
