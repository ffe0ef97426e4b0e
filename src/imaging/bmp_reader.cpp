#include "imaging/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"

namespace vitrine {
namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5,
                   kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;
constexpr const char* kFormatName = "BMP";

[[noreturn]] void Invalid() { throw EInvalidGraphic::InvalidFormat(kFormatName); }
[[noreturn]] void Unsupported(const std::string& what) {
  throw EInvalidGraphic("Unsupported BMP image: " + what + ".");
}

// One channel of a bit-field pixel: where it sits and how to widen it to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
  }
  uint8_t Extract(uint32_t pixel) const {
    if (!bits) return 0;
    uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return uint8_t(v >> (bits - 8));
    // Repeat the bits downward so the largest value becomes 255 (5 bits: v<<3 | v>>2).
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << bits) | v;
      filled += bits;
    }
    return uint8_t(out >> (filled - 8));
  }
};

struct BmpInfo {
  size_t headerSize = 0;
  int32_t width = 0, height = 0;
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // R, G, B, A
  bool hasMasks = false;
};

BmpInfo ReadInfoHeader(ByteReader& in) {
  BmpInfo info;
  size_t start = in.Position();
  uint32_t size = in.U32LE();
  info.headerSize = size;
  if (size == 12) {
    info.width = in.U16LE();
    info.height = in.U16LE();
    if (in.U16LE() != 1) Invalid();
    info.bitCount = in.U16LE();
    if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 24) Invalid();
    return info;
  }
  if (size < 16 || size > 4096) Invalid();
  bool os2v2 = size != 40 && size != 52 && size != 56 && size != 108 && size != 124;
  int32_t height;
  info.width = in.S32LE();
  height = in.S32LE();
  if (in.U16LE() != 1) Invalid();
  info.bitCount = in.U16LE();
  if (size >= 20) info.compression = in.U32LE();
  if (size >= 36) {
    in.Skip(12);  // image size, resolution
    info.colorsUsed = in.U32LE();
  }
  if (os2v2 && (info.compression == 3 || info.compression == 4))
    Unsupported(info.compression == 3 ? "OS/2 Huffman compression" : "OS/2 24-bit RLE");
  if (height == INT32_MIN) Invalid();
  info.topDown = height < 0;
  info.height = height < 0 ? -height : height;
  if (!os2v2 && size >= 52) {
    in.Seek(start + 40);
    for (int i = 0; i < (size >= 56 ? 4 : 3); ++i) info.masks[i] = in.U32LE();
    info.hasMasks = true;
  }
  in.Seek(start + size);
  if (size == 40 && (info.compression == kBiBitfields || info.compression == kBiAlphaBitfields)) {
    for (int i = 0; i < (info.compression == kBiAlphaBitfields ? 4 : 3); ++i) info.masks[i] = in.U32LE();
    info.hasMasks = true;
  }
  return info;
}

void CheckInfo(const BmpInfo& info) {
  CheckPictureSize(info.width, info.height, kFormatName);
  switch (info.compression) {
    case kBiRgb:
      if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 16 &&
          info.bitCount != 24 && info.bitCount != 32)
        Invalid();
      break;
    case kBiRle8:
      if (info.bitCount != 8 || info.topDown) Invalid();
      break;
    case kBiRle4:
      if (info.bitCount != 4 || info.topDown) Invalid();
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (info.bitCount != 16 && info.bitCount != 32) Invalid();
      break;
    case kBiJpeg: Unsupported("embedded JPEG");
    case kBiPng: Unsupported("embedded PNG");
    default: Invalid();
  }
}

// Palette entries as pixels of the 32-bit bitmap (0x00RRGGBB); indices past the file's
// palette stay black.
std::vector<uint32_t> ReadPalette(ByteReader& in, const BmpInfo& info) {
  if (info.bitCount > 8) return {};
  uint32_t max = 1u << info.bitCount;
  uint32_t count = info.colorsUsed == 0 || info.colorsUsed > max ? max : info.colorsUsed;
  size_t entrySize = info.headerSize == 12 ? 3 : 4;
  std::vector<uint32_t> palette(256, 0);
  for (uint32_t i = 0; i < count; ++i) {
    auto e = in.Bytes(entrySize);
    palette[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
  }
  return palette;
}

inline uint32_t* OutRow(Bitmap& out, const BmpInfo& info, int32_t fileRow) {
  int32_t y = info.topDown ? fileRow : info.height - 1 - fileRow;
  return reinterpret_cast<uint32_t*>(out.Row(y));
}

void DecodeUncompressed(std::span<const uint8_t> pixels, const BmpInfo& info, const std::vector<uint32_t>& palette,
                        Bitmap& out) {
  uint64_t stride = (uint64_t(info.width) * info.bitCount + 31) / 32 * 4;
  uint64_t lastRow = (uint64_t(info.width) * info.bitCount + 7) / 8;
  // The last row's padding is often left out; anything shorter is a truncated file.
  if (stride * (info.height - 1) + lastRow > pixels.size()) Invalid();

  uint32_t defaultMasks16[4] = {0x7C00, 0x03E0, 0x001F, 0};
  uint32_t defaultMasks32[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0};
  bool bitfields = info.compression == kBiBitfields || info.compression == kBiAlphaBitfields;
  const uint32_t* m = bitfields && info.hasMasks ? info.masks
                      : info.bitCount == 16      ? defaultMasks16
                                                 : defaultMasks32;
  Channel r(m[0]), g(m[1]), b(m[2]);
  bool plain32 = info.bitCount == 32 && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;

  for (int32_t row = 0; row < info.height; ++row) {
    const uint8_t* src = pixels.data() + stride * row;
    uint32_t* dst = OutRow(out, info, row);
    int32_t w = info.width;
    switch (info.bitCount) {
      case 1:
      case 4:
      case 8: {
        int bits = info.bitCount;
        uint32_t valueMask = (1u << bits) - 1;
        for (int32_t x = 0; x < w; ++x) {
          uint32_t bitPos = uint32_t(x) * bits;
          uint32_t v = (src[bitPos >> 3] >> (8 - bits - (bitPos & 7))) & valueMask;
          dst[x] = palette[v];
        }
        break;
      }
      case 16:
        for (int32_t x = 0; x < w; ++x) {
          uint32_t p = src[2 * x] | uint32_t(src[2 * x + 1]) << 8;
          dst[x] = uint32_t(r.Extract(p)) << 16 | uint32_t(g.Extract(p)) << 8 | b.Extract(p);
        }
        break;
      case 24:
        for (int32_t x = 0; x < w; ++x, src += 3) dst[x] = uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
        break;
      case 32:
        if (plain32) {
          for (int32_t x = 0; x < w; ++x, src += 4) dst[x] = uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
        } else {
          for (int32_t x = 0; x < w; ++x, src += 4) {
            uint32_t p = src[0] | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24;
            dst[x] = uint32_t(r.Extract(p)) << 16 | uint32_t(g.Extract(p)) << 8 | b.Extract(p);
          }
        }
        break;
    }
  }
}

// RLE4/RLE8. Pixels that delta and end-of-line codes skip keep index 0. Data that ends
// without the end-of-bitmap code is accepted (many writers leave it out); runs that
// overshoot the row are clipped.
void DecodeRle(std::span<const uint8_t> pixels, const BmpInfo& info, const std::vector<uint32_t>& palette,
               Bitmap& out) {
  bool four = info.compression == kBiRle4;
  int32_t w = info.width, h = info.height;
  int32_t x = 0, y = 0;  // y counts file rows, bottom row first
  for (int32_t row = 0; row < h; ++row) {
    uint32_t* dst = OutRow(out, info, row);
    for (int32_t i = 0; i < w; ++i) dst[i] = palette[0];
  }
  auto put = [&](uint32_t index) {
    if (x < w && y < h) OutRow(out, info, y)[x] = palette[index];
    ++x;
  };
  size_t pos = 0, n = pixels.size();
  while (pos + 1 < n && y < h) {
    uint8_t count = pixels[pos], value = pixels[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < w; ++i) put(four ? (i & 1 ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (pos + 1 >= n) break;
      x += pixels[pos];
      y += pixels[pos + 1];
      pos += 2;
    } else {  // absolute run of 'value' pixels, padded to an even byte count
      size_t bytes = four ? (value + 1) / 2 : value;
      if (bytes > n - pos) bytes = n - pos;
      for (size_t i = 0; i < (four ? std::min<size_t>(value, bytes * 2) : bytes); ++i) {
        uint8_t b = pixels[pos + (four ? i / 2 : i)];
        if (x >= w) break;
        put(four ? (i & 1 ? b & 15 : b >> 4) : b);
      }
      pos += bytes + (bytes & 1);
    }
  }
}

}  // namespace

Bitmap DecodeBmp(std::span<const uint8_t> file) {
  try {
    ByteReader in(file);
    if (in.U8() != 'B' || in.U8() != 'M') Invalid();
    in.Skip(8);
    uint32_t offBits = in.U32LE();
    BmpInfo info = ReadInfoHeader(in);
    CheckInfo(info);
    std::vector<uint32_t> palette = ReadPalette(in, info);
    // A wrong or missing pixel offset falls back to right after the palette.
    size_t dataStart = offBits >= kFileHeaderSize + info.headerSize && offBits < file.size() ? offBits : in.Position();
    if (dataStart >= file.size()) Invalid();
    auto pixels = file.subspan(dataStart);

    Bitmap out(info.width, info.height, PixelFormat::Xrgb8888);
    if (info.compression == kBiRle4 || info.compression == kBiRle8)
      DecodeRle(pixels, info, palette, out);
    else
      DecodeUncompressed(pixels, info, palette, out);
    return out;
  } catch (const ByteReader::OutOfData&) {
    Invalid();
  }
}

void TBmpGraphic::Decode(std::span<const uint8_t> file) { image_ = DecodeBmp(file); }

}  // namespace vitrine
