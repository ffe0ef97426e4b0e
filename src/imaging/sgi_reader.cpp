#include "imaging/sgi_reader.h"

#include <algorithm>
#include <array>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/decoders/sgi_rle_decoder.h"

namespace vitrine {

namespace {
constexpr size_t kHeaderSize = 512;
}  // namespace

void TSGIGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader in(file);
  if (in.U16BE() != 474) Invalid();
  const uint8_t storage = in.U8();
  const uint8_t bpc = in.U8();
  const uint16_t dimension = in.U16BE();
  const uint16_t xSize = in.U16BE();
  uint16_t ySize = in.U16BE();
  uint16_t zSize = in.U16BE();
  if (storage > 1 || (bpc != 1 && bpc != 2) || dimension < 1 || dimension > 3)
    Invalid();
  if (dimension == 1) ySize = 1;
  if (dimension < 3) zSize = 1;
  if (zSize == 0) Invalid();
  CheckSize(xSize, ySize);
  in.Seek(kHeaderSize);

  // Channels past the fourth carry nothing we show.
  const size_t channels = std::min<size_t>(zSize, 4);
  const size_t rowBytes = size_t(xSize) * bpc;
  const size_t planeBytes = rowBytes * ySize;  // at most 2^29 after the size check
  std::span<const uint8_t> starts, lengths;
  if (storage == 0) {
    if (uint64_t(planeBytes) * channels > in.Remaining()) Invalid();
  } else {
    const uint64_t tableBytes = uint64_t(ySize) * zSize * 4;
    if (tableBytes * 2 > in.Remaining()) Invalid();
    starts = in.Bytes(size_t(tableBytes));
    lengths = in.Bytes(size_t(tableBytes));
  }
  auto entry = [](std::span<const uint8_t> table, size_t i) {
    const uint8_t* p = table.data() + 4 * i;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
  };

  static constexpr std::array<TColorScheme, 4> kSchemes = {TColorScheme::Gray, TColorScheme::GrayAlpha,
                                                           TColorScheme::RGB, TColorScheme::RGBA};
  colorManager_.SourceScheme = kSchemes[channels - 1];
  colorManager_.SourceBitsPerSample = bpc * 8;
  colorManager_.SourceSamplesPerPixel = int(channels);
  colorManager_.SourceBigEndian = true;
  colorManager_.SetupConversion();

  image_.Reset(xSize, ySize, PixelFormat::Xrgb8888);
  TSGIRLEDecoder decoder(bpc);
  std::vector<uint8_t> rows(storage == 1 ? rowBytes * channels : 0);
  std::array<const uint8_t*, 4> rowPtrs{};
  // Row 0 is the bottom one; channels are planar.
  for (size_t y = 0; y < ySize; ++y) {
    for (size_t z = 0; z < channels; ++z) {
      if (storage == 0) {
        rowPtrs[z] = file.data() + kHeaderSize + z * planeBytes + y * rowBytes;
        continue;
      }
      // The start table finds the row (rows may share data, in any order); the length
      // table only bounds it. A row that ends early stays black.
      const size_t i = y + z * ySize;
      const uint32_t start = entry(starts, i);
      if (start < kHeaderSize || start >= file.size()) Invalid();
      const size_t packed = std::min<size_t>(entry(lengths, i), file.size() - start);
      uint8_t* dst = rows.data() + z * rowBytes;
      std::fill_n(dst, rowBytes, uint8_t(0));
      const uint8_t* src = file.data() + start;
      rowPtrs[z] = dst;
      decoder.Decode(src, dst, packed, rowBytes);
    }
    colorManager_.ConvertRow(std::span<const uint8_t* const>(rowPtrs.data(), channels),
                             image_.Row(int32_t(ySize - 1 - y)), xSize);
  }
}

}  // namespace vitrine
