#include "imaging/targa_reader.h"

#include <algorithm>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/decoders/targa_rle_decoder.h"

namespace vitrine {

namespace {


// A 15/16-bit pixel (x RRRRR GGGGG BBBBB, little-endian) as a scan-line word.
uint32_t Expand555(uint16_t v) {
  uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
  return (r * 255 / 31) << 16 | (g * 255 / 31) << 8 | (b * 255 / 31);
}

void PutWord(uint8_t* target, uint32_t p) {
  target[0] = uint8_t(p);
  target[1] = uint8_t(p >> 8);
  target[2] = uint8_t(p >> 16);
  target[3] = 0;
}

}  // namespace

void TTargaGraphic::Decode(std::span<const uint8_t> file) {
  ImageID.clear();
  ByteReader in(file);
  const uint8_t idLength = in.U8();
  const uint8_t mapType = in.U8();
  const uint8_t imageType = in.U8();
  const uint16_t mapFirst = in.U16LE();
  const uint16_t mapLength = in.U16LE();
  const uint8_t mapEntryBits = in.U8();
  in.Skip(4);  // screen origin
  const uint16_t width = in.U16LE();
  const uint16_t height = in.U16LE();
  const uint8_t depth = in.U8();
  const uint8_t descriptor = in.U8();

  const bool rle = imageType >= 9;
  const int kind = rle ? imageType - 8 : imageType;  // 1 mapped, 2 true colour, 3 grey
  if (mapType > 1 || (imageType != 1 && imageType != 2 && imageType != 3 && imageType != 9 &&
                      imageType != 10 && imageType != 11))
    Invalid();
  bool depthOk = false;
  switch (kind) {
    case 1: depthOk = mapType == 1 && (depth == 8 || depth == 16); break;
    case 2: depthOk = depth == 15 || depth == 16 || depth == 24 || depth == 32; break;
    case 3: depthOk = depth == 8 || depth == 16 || (depth == 1 && !rle); break;
  }
  if (!depthOk) Invalid();
  if (mapType == 1 && mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
    Invalid();
  CheckSize(width, height);

  auto id = in.Bytes(idLength);
  ImageID.assign(id.begin(), std::find(id.begin(), id.end(), uint8_t(0)));

  // The colour map; true-colour and grey images may carry one, which is skipped.
  std::vector<uint32_t> map;
  if (mapType == 1) {
    const size_t entryBytes = size_t((mapEntryBits + 7) / 8);
    auto entries = in.Bytes(size_t(mapLength) * entryBytes);
    if (kind == 1) {
      map.resize(mapLength);
      for (size_t i = 0; i < mapLength; ++i) {
        const uint8_t* e = entries.data() + i * entryBytes;
        map[i] = entryBytes == 2 ? Expand555(uint16_t(e[0] | e[1] << 8))
                                 : uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
      }
    }
  }

  // The pixels, as one block in file order.
  const size_t pixelBytes = size_t((depth + 7) / 8);
  const size_t fileRowBytes = depth == 1 ? (size_t(width) + 7) / 8 : size_t(width) * pixelBytes;
  const uint64_t total = uint64_t(fileRowBytes) * height;
  std::vector<uint8_t> unpacked;
  const uint8_t* pixels;
  if (rle) {
    // A packet of 1 + pixelBytes bytes yields at most 128 pixels.
    if (total > uint64_t(in.Remaining()) * 128) Invalid();
    unpacked.assign(size_t(total), 0);
    const uint8_t* src = file.data() + in.Position();
    uint8_t* dst = unpacked.data();
    TTargaRLEDecoder(depth).Decode(src, dst, in.Remaining(), unpacked.size());
    if (dst != unpacked.data() + unpacked.size()) Invalid();
    pixels = unpacked.data();
  } else {
    pixels = in.Bytes(size_t(total)).data();
  }

  if (kind == 3 || (kind == 2 && depth >= 24)) {
    colorManager_.SourceScheme = kind == 3 ? (depth == 16 ? TColorScheme::GrayAlpha : TColorScheme::Gray)
                                           : (depth == 32 ? TColorScheme::BGRA : TColorScheme::BGR);
    colorManager_.SourceBitsPerSample = depth == 1 ? 1 : 8;
    colorManager_.SourceSamplesPerPixel = depth == 1 ? 1 : int(pixelBytes);
    colorManager_.SetupConversion();
  }

  image_.Reset(width, height, PixelFormat::Xrgb8888);
  const bool topDown = descriptor & 0x20;
  const bool rightToLeft = descriptor & 0x10;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* src = pixels + size_t(row) * fileRowBytes;
    uint8_t* dst = image_.Row(topDown ? row : height - 1 - row);
    if (kind == 1) {
      for (int32_t x = 0; x < width; ++x) {
        size_t v = depth == 16 ? size_t(src[2 * x] | src[2 * x + 1] << 8) : src[x];
        size_t index = v - mapFirst;  // below the first entry wraps to a huge index: black
        PutWord(dst + 4 * x, index < map.size() ? map[index] : 0);
      }
    } else if (kind == 2 && depth <= 16) {
      for (int32_t x = 0; x < width; ++x) PutWord(dst + 4 * x, Expand555(uint16_t(src[2 * x] | src[2 * x + 1] << 8)));
    } else {
      colorManager_.ConvertRow(src, dst, width);
    }
    if (rightToLeft) {
      uint32_t* words = reinterpret_cast<uint32_t*>(dst);
      std::reverse(words, words + width);
    }
  }
}

}  // namespace vitrine
