#include "imaging/autodesk_reader.h"

#include "core/byte_reader.h"
#include "core/errors.h"

namespace vitrine {

namespace {
constexpr uint16_t kMagic = 0x9119;
}  // namespace

void TAutodeskGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader in(file);
  if (in.U16LE() != kMagic) Invalid();
  const uint16_t width = in.U16LE();
  const uint16_t height = in.U16LE();
  in.Skip(4);  // placement of a cel
  const uint8_t bitsPerPixel = in.U8();
  const uint8_t compression = in.U8();
  in.Skip(4 + 16);  // data size (width * height is what counts), reserved
  if (bitsPerPixel != 8 || compression != 0) Invalid();
  CheckSize(width, height);

  // VGA DAC components, 0..63, times four; stray high bits are dropped.
  uint8_t palette[768];
  in.Copy(palette, sizeof palette);
  for (uint8_t& c : palette) c = uint8_t((c & 63) * 4);
  colorManager_.CreateColorPalette(palette, TColorScheme::RGB, 256);
  colorManager_.SourceScheme = TColorScheme::Indexed;
  colorManager_.SourceBitsPerSample = 8;
  colorManager_.SourceSamplesPerPixel = 1;
  colorManager_.SetupConversion();

  auto pixels = in.Bytes(size_t(width) * height);
  image_.Reset(width, height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < height; ++y)
    colorManager_.ConvertRow(pixels.data() + size_t(y) * width, image_.Row(y), width);
}

}  // namespace vitrine
