#include "imaging/psd_reader.h"

#include <zlib.h>

#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/color_manager.h"
#include "imaging/decoders/lz77_decoder.h"
#include "imaging/decoders/packbits_rle_decoder.h"

namespace vitrine {

namespace {


enum Mode : uint16_t { kBitmap = 0, kGray = 1, kIndexed = 2, kRGB = 3, kCMYK = 4, kMultichannel = 7, kDuotone = 8, kLab = 9 };
enum Compression : uint16_t { kRaw = 0, kRLE = 1, kZip = 2, kZipPredicted = 3 };

// Colour channels the merged image's picture is made of; the rest are extra channels.
int ColorChannels(uint16_t mode) {
  switch (mode) {
    case kRGB: case kLab: return 3;
    case kCMYK: return 4;
    default: return 1;
  }
}

// Zip with prediction stores each row as differences from the sample to its left.
void UndoPrediction(uint8_t* row, size_t width, int depth) {
  if (depth == 16) {
    uint16_t previous = 0;
    for (size_t x = 0; x < width; ++x) {
      previous = uint16_t(previous + (row[2 * x] << 8 | row[2 * x + 1]));
      row[2 * x] = uint8_t(previous >> 8);
      row[2 * x + 1] = uint8_t(previous);
    }
  } else {
    for (size_t x = 1; x < width; ++x) row[x] = uint8_t(row[x] + row[x - 1]);
  }
}

}  // namespace

void TPSDGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);

  std::vector<uint8_t> planes;  // the colour channels, one after another, rowBytes * height each
  uint32_t width = 0, height = 0;
  uint16_t depth = 0, mode = 0;
  size_t rowBytes = 0;
  int used = 0;
  std::vector<uint8_t> colorModeData;
  if (reader.Remaining() < 26 || reader.U32BE() != 0x38425053) Invalid();  // "8BPS"
  const uint16_t version = reader.U16BE();
  if (version != 1 && version != 2) Invalid();
  const bool large = version == 2;
  reader.Skip(6);
  const uint16_t channels = reader.U16BE();
  height = reader.U32BE();
  width = reader.U32BE();
  depth = reader.U16BE();
  mode = reader.U16BE();
  if (channels < 1 || channels > 56) Invalid();
  CheckSize(width, height);
  const bool depthOk = mode == kBitmap ? depth == 1 : (depth == 8 || depth == 16);
  const bool modeOk = mode <= kCMYK || mode == kMultichannel || mode == kDuotone || mode == kLab;
  if (!depthOk || !modeOk) Invalid();
  used = ColorChannels(mode);
  if (channels < used) Invalid();

  const auto modeData = reader.Bytes(reader.U32BE());
  colorModeData.assign(modeData.begin(), modeData.end());
  if (mode == kIndexed && colorModeData.size() < 768) Invalid();
  reader.Skip(reader.U32BE());  // image resources
  if (large) {
    const uint64_t high = reader.U32BE(), low = reader.U32BE();
    if (high) Invalid();
    reader.Skip(low);
  } else {
    reader.Skip(reader.U32BE());  // layers and masks
  }

  const uint16_t compression = reader.U16BE();
  rowBytes = size_t((uint64_t(width) * depth + 7) / 8);
  const size_t planeBytes = rowBytes * height;  // bounded by the pixel cap: fits in 32 bits too
  const size_t usedRows = size_t(used) * height;
  // Refuse sizes the remaining bytes cannot possibly fill before allocating for them.
  const uint64_t expansion = compression == kRaw ? 1 : compression == kRLE ? 64 : 1032;
  if (uint64_t(planeBytes) * used > uint64_t(reader.Remaining()) * expansion) Invalid();
  planes.assign(planeBytes * size_t(used), 0);

  switch (compression) {
    case kRaw:
      reader.Copy(planes.data(), planes.size());
      break;
    case kRLE: {
      std::vector<uint32_t> counts(usedRows);
      for (size_t i = 0; i < usedRows; ++i) counts[i] = large ? reader.U32BE() : reader.U16BE();
      reader.Skip((size_t(channels) * height - usedRows) * (large ? 4 : 2));
      TPackbitsRLEDecoder decoder;
      for (size_t i = 0; i < usedRows; ++i) {
        const auto packed = reader.Bytes(counts[i]);
        const uint8_t* source = packed.data();
        uint8_t* dest = planes.data() + i * rowBytes;
        decoder.Decode(source, dest, packed.size(), rowBytes);
      }
      break;
    }
    case kZip:
    case kZipPredicted: {
      TLZ77Decoder inflater(Z_FINISH);
      inflater.DecodeInit();
      const uint8_t* source = reader.Data().data() + reader.Position();
      uint8_t* dest = planes.data();
      inflater.Decode(source, dest, reader.Remaining(), planes.size());
      inflater.DecodeEnd();
      if (inflater.AvailableOutput() != 0) Invalid();
      if (compression == kZipPredicted)
        for (size_t i = 0; i < usedRows; ++i) UndoPrediction(planes.data() + i * rowBytes, width, depth);
      break;
    }
    default:
      Invalid();
  }

  TColorManager colors;
  colors.SourceBitsPerSample = depth;
  colors.SourceSamplesPerPixel = used;
  colors.SourceBigEndian = true;
  switch (mode) {
    case kBitmap:
      colors.SourceScheme = TColorScheme::Indexed;
      colors.Palette = {0xFFFFFF, 0x000000};  // 1 is black
      break;
    case kIndexed:
      colors.SourceScheme = TColorScheme::Indexed;
      colors.Palette.resize(256);
      for (size_t i = 0; i < 256; ++i)
        colors.Palette[i] = uint32_t(colorModeData[i]) << 16 | uint32_t(colorModeData[256 + i]) << 8 | colorModeData[512 + i];
      break;
    case kRGB: colors.SourceScheme = TColorScheme::RGB; break;
    case kLab: colors.SourceScheme = TColorScheme::CIELab; break;
    case kCMYK:
      colors.SourceScheme = TColorScheme::CMYK;
      // Stored as 255 (65535) = no ink; the converter counts ink.
      for (uint8_t& b : planes) b = uint8_t(~b);
      break;
    default: colors.SourceScheme = TColorScheme::Gray; break;  // grey, duotone, multichannel
  }
  colors.SetupConversion();

  image_.Reset(int32_t(width), int32_t(height), PixelFormat::Xrgb8888);
  std::vector<const uint8_t*> rows(static_cast<size_t>(used));
  for (uint32_t y = 0; y < height; ++y) {
    if (depth == 1) {
      colors.ConvertRow(planes.data() + y * rowBytes, image_.Row(int32_t(y)), int32_t(width));
      continue;
    }
    for (int c = 0; c < used; ++c) rows[size_t(c)] = planes.data() + size_t(c) * planeBytes + y * rowBytes;
    colors.ConvertRow(rows, image_.Row(int32_t(y)), int32_t(width));
  }
}

}  // namespace vitrine
