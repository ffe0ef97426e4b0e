#include "imaging/pcx_reader.h"

#include <algorithm>
#include <array>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/decoders/pcx_rle_decoder.h"

namespace vitrine {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kVgaPaletteSize = 769;  // marker 0x0C and 256 RGB triples

// Used when a 16-colour file leaves its header palette empty.
constexpr std::array<uint8_t, 48> kDefaultEgaPalette = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x00, 0xAA, 0x00, 0x00, 0xAA, 0xAA, 0xAA, 0x00, 0x00, 0xAA,
    0x00, 0xAA, 0xAA, 0x55, 0x00, 0xAA, 0xAA, 0xAA, 0x55, 0x55, 0x55, 0x55, 0x55, 0xFF, 0x55, 0xFF,
    0x55, 0x55, 0xFF, 0xFF, 0xFF, 0x55, 0x55, 0xFF, 0x55, 0xFF, 0xFF, 0xFF, 0x55, 0xFF, 0xFF, 0xFF};

}  // namespace

void TPCXGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader in(file);
  if (in.U8() != 10) Invalid();
  const uint8_t version = in.U8();
  const uint8_t encoding = in.U8();
  const uint8_t bits = in.U8();
  const int32_t xMin = in.U16LE(), yMin = in.U16LE(), xMax = in.U16LE(), yMax = in.U16LE();
  in.Skip(4);  // resolution
  auto headerPalette = in.Bytes(48);
  in.Skip(1);
  const uint8_t planes = in.U8();
  const uint16_t bytesPerLine = in.U16LE();
  in.Seek(kHeaderSize);

  if (encoding > 1 || xMax < xMin || yMax < yMin) Invalid();
  const int32_t width = xMax - xMin + 1, height = yMax - yMin + 1;
  CheckSize(width, height);

  const bool planarIndex = bits == 1 && planes >= 1 && planes <= 4;
  const bool packedIndex = (bits == 2 || bits == 4 || bits == 8) && planes == 1;
  const bool trueColour = bits == 8 && (planes == 3 || planes == 4);
  if (!planarIndex && !packedIndex && !trueColour) throw EInvalidGraphic::InvalidColorFormat();
  if (uint64_t(bytesPerLine) * 8 < uint64_t(width) * bits) Invalid();

  // The scan lines, every plane's bytesPerLine bytes in turn, decoded as one stream.
  // A run of two bytes yields at most 63, so a longer image cannot be in this file.
  const size_t packed = in.Remaining();
  const size_t lineBytes = size_t(bytesPerLine) * planes;
  const uint64_t total = uint64_t(lineBytes) * uint64_t(height);
  if (total > uint64_t(packed) * 32 || total > uint64_t(kMaxPicturePixels) * 4) Invalid();
  std::vector<uint8_t> data(static_cast<size_t>(total));
  const uint8_t* src = file.data() + kHeaderSize;
  uint8_t* dst = data.data();
  if (encoding == 1) {
    TPCXRLEDecoder().Decode(src, dst, packed, data.size());
  } else {
    const size_t n = std::min(packed, data.size());
    std::copy_n(src, n, dst);
    src += n;
    dst += n;
  }
  if (dst != data.data() + data.size()) Invalid();

  colorManager_.SourceBitsPerSample = packedIndex ? bits : 8;
  colorManager_.SourceSamplesPerPixel = 1;
  if (trueColour) {
    colorManager_.SourceScheme = planes == 4 ? TColorScheme::RGBA : TColorScheme::RGB;
    colorManager_.SourceSamplesPerPixel = planes;
  } else {
    colorManager_.SourceScheme = TColorScheme::Indexed;
    const int indexBits = bits * planes;
    if (indexBits == 1) {
      colorManager_.CreateGrayscalePalette(1);
    } else if (indexBits <= 4) {
      const bool empty = std::all_of(headerPalette.begin(), headerPalette.end(), [](uint8_t b) { return b == 0; });
      colorManager_.CreateColorPalette(version == 3 || empty ? std::span<const uint8_t>(kDefaultEgaPalette)
                                                             : headerPalette,
                                       TColorScheme::RGB, 16);
    } else {
      // The 256-colour palette ends the file; some files carry junk after it, so the byte
      // right after the image data is tried as well. Without one the indices are grey levels.
      const size_t afterData = size_t(src - file.data());
      const uint8_t* vga = nullptr;
      if (file.size() >= kHeaderSize + kVgaPaletteSize && file[file.size() - kVgaPaletteSize] == 0x0C)
        vga = file.data() + file.size() - kVgaPaletteSize + 1;
      else if (file.size() - afterData >= kVgaPaletteSize && file[afterData] == 0x0C)
        vga = file.data() + afterData + 1;
      if (vga) colorManager_.CreateColorPalette({vga, 768}, TColorScheme::RGB, 256);
      else colorManager_.CreateGrayscalePalette(8);
    }
  }
  colorManager_.SetupConversion();

  image_.Reset(width, height, PixelFormat::Xrgb8888);
  std::vector<uint8_t> indices(planarIndex ? size_t(width) : 0);
  std::array<const uint8_t*, 4> planePtrs{};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* line = data.data() + size_t(y) * lineBytes;
    if (trueColour) {
      for (size_t p = 0; p < planes; ++p) planePtrs[p] = line + p * bytesPerLine;
      colorManager_.ConvertRow(std::span<const uint8_t* const>(planePtrs.data(), planes), image_.Row(y), width);
    } else if (planarIndex) {
      // One bit of the index from each plane, plane 0 the lowest.
      for (int32_t x = 0; x < width; ++x) {
        uint8_t v = 0;
        for (size_t p = 0; p < planes; ++p)
          v |= uint8_t(((line[p * bytesPerLine + size_t(x) / 8] >> (7 - x % 8)) & 1) << p);
        indices[size_t(x)] = v;
      }
      colorManager_.ConvertRow(indices.data(), image_.Row(y), width);
    } else {
      colorManager_.ConvertRow(line, image_.Row(y), width);
    }
  }
}

}  // namespace vitrine
