#include "imaging/png_reader.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/color_manager.h"
#include "imaging/decoders/lz77_decoder.h"

namespace vitrine {

namespace {

constexpr const char* kLoadError = "Load image error!";
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr double kDisplayGamma = 2.2;

constexpr uint32_t ChunkType(const char (&name)[5]) {
  return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
         uint32_t(uint8_t(name[3]));
}
constexpr uint32_t kIHDR = ChunkType("IHDR"), kPLTE = ChunkType("PLTE"), kIDAT = ChunkType("IDAT"),
                   kIEND = ChunkType("IEND"), kGAMA = ChunkType("gAMA"), kTRNS = ChunkType("tRNS"),
                   kBKGD = ChunkType("bKGD");

struct Pass {
  uint32_t x0, y0, dx, dy;
};
constexpr Pass kWholeImage[1] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

struct Header {
  uint32_t width = 0, height = 0;
  uint8_t depth = 0, colorType = 0, interlace = 0;
};

[[noreturn]] void LoadError() { throw EInvalidGraphic(kLoadError); }

int SamplesPerPixel(uint8_t colorType) {
  switch (colorType) {
    case 0: case 3: return 1;
    case 4: return 2;
    case 2: return 3;
    case 6: return 4;
    default: return 0;
  }
}

bool DepthAllowed(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

uint32_t PassSize(uint32_t size, uint32_t start, uint32_t step) { return size > start ? (size - start + step - 1) / step : 0; }

// Undoes one row's filter in place; prior is the reconstructed row above (nullptr on the
// first row of a pass).
void Unfilter(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t rowBytes, size_t bpp) {
  switch (filter) {
    case 0:
      return;
    case 1:
      for (size_t i = bpp; i < rowBytes; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
      return;
    case 2:
      if (prior)
        for (size_t i = 0; i < rowBytes; ++i) row[i] = uint8_t(row[i] + prior[i]);
      return;
    case 3:
      if (prior) {
        for (size_t i = 0; i < bpp && i < rowBytes; ++i) row[i] = uint8_t(row[i] + (prior[i] >> 1));
        for (size_t i = bpp; i < rowBytes; ++i) row[i] = uint8_t(row[i] + ((row[i - bpp] + prior[i]) >> 1));
      } else {
        for (size_t i = bpp; i < rowBytes; ++i) row[i] = uint8_t(row[i] + (row[i - bpp] >> 1));
      }
      return;
    case 4:
      if (!prior) {  // with nothing above, Paeth picks the left byte
        for (size_t i = bpp; i < rowBytes; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
        return;
      }
      for (size_t i = 0; i < bpp && i < rowBytes; ++i) row[i] = uint8_t(row[i] + prior[i]);
      for (size_t i = bpp; i < rowBytes; ++i) {
        const int a = row[i - bpp], b = prior[i], c = prior[i - bpp];
        const int p = a + b - c;
        const int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
        const int predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        row[i] = uint8_t(row[i] + predictor);
      }
      return;
    default:
      LoadError();
  }
}

}  // namespace

EInvalidGraphic TPNGGraphic::TruncatedError() const { return EInvalidGraphic(kLoadError); }

void TPNGGraphic::Decode(std::span<const uint8_t> file) {
  FileGamma = 0;
  Transparency.clear();
  Background.clear();

  ByteReader reader(file);
  if (reader.Remaining() < 8 + 8 || std::memcmp(file.data(), kSignature, 8) != 0)
    Invalid();
  reader.Skip(8);
  if (reader.Peek(4) != 'I' || reader.Peek(5) != 'H' || reader.Peek(6) != 'D' || reader.Peek(7) != 'R')
    Invalid();

  Header header;
  std::vector<uint32_t> palette;
  std::unique_ptr<uint8_t[]> raw;
  uint64_t rawSize = 0;
  uint8_t* rawOut = nullptr;
  TLZ77Decoder inflater(Z_NO_FLUSH);
  bool inflating = false, streamEnded = false, sawIEND = false;

  bool first = true;
  while (!sawIEND && !reader.AtEnd()) {
    const uint32_t length = reader.U32BE();
    if (length > 0x7FFFFFFFu) LoadError();
    const auto typeAndData = reader.Bytes(size_t(length) + 4);
    const uint32_t crc = reader.U32BE();
    if (uint32_t(crc32(0L, typeAndData.data(), uInt(typeAndData.size()))) != crc) LoadError();
    const uint32_t type = uint32_t(typeAndData[0]) << 24 | uint32_t(typeAndData[1]) << 16 |
                          uint32_t(typeAndData[2]) << 8 | typeAndData[3];
    ByteReader data(typeAndData.subspan(4));

    if (first != (type == kIHDR)) {
      if (first) Invalid();
      LoadError();  // a second IHDR
    }
    first = false;

    if (type == kIHDR) {
      if (length != 13) Invalid();
      header.width = data.U32BE();
      header.height = data.U32BE();
      header.depth = data.U8();
      header.colorType = data.U8();
      const uint8_t compression = data.U8(), filterMethod = data.U8();
      header.interlace = data.U8();
      if (header.width == 0 || header.height == 0 || header.width > 0x7FFFFFFFu || header.height > 0x7FFFFFFFu ||
          filterMethod != 0 || header.interlace > 1)
        Invalid();
      if (compression != 0) throw EInvalidGraphic::UnsupportedFormat();
      if (!DepthAllowed(header.colorType, header.depth)) throw EInvalidGraphic::InvalidColorFormat();
      CheckSize(header.width, header.height);
    } else if (type == kPLTE) {
      if (length % 3 != 0 || length == 0 || length > 3 * 256) LoadError();
      palette.resize(length / 3);
      for (auto& entry : palette) {
        const uint32_t r = data.U8(), g = data.U8(), b = data.U8();
        entry = r << 16 | g << 8 | b;
      }
    } else if (type == kIDAT) {
      if (!inflating) {
        if (header.colorType == 3 && palette.empty()) LoadError();
        const uint64_t bitsPerPixel = uint64_t(header.depth) * SamplesPerPixel(header.colorType);
        for (const Pass& pass : header.interlace ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWholeImage)) {
          const uint64_t w = PassSize(header.width, pass.x0, pass.dx), h = PassSize(header.height, pass.y0, pass.dy);
          if (w && h) rawSize += h * (1 + (w * bitsPerPixel + 7) / 8);
        }
        if (rawSize > uint64_t(SIZE_MAX) / 2) Invalid();
        raw.reset(new uint8_t[size_t(rawSize)]);
        rawOut = raw.get();
        inflater.DecodeInit();
        inflating = true;
      }
      const size_t outLeft = size_t(rawSize - uint64_t(rawOut - raw.get()));
      if (!streamEnded && outLeft > 0) {
        const uint8_t* in = data.Data().data();
        inflater.Decode(in, rawOut, length, outLeft);
        const int result = inflater.Result();
        if (result == Z_STREAM_END) {
          streamEnded = true;
          if (inflater.AvailableOutput() > 0 || inflater.AvailableInput() > 0) LoadError();
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
          LoadError();
        }
      }
    } else if (type == kIEND) {
      sawIEND = true;
    } else if (type == kGAMA) {
      if (length == 4) {
        const uint32_t value = data.U32BE();
        if (value) FileGamma = value / 100000.0;
      }
    } else if (type == kTRNS) {
      Transparency.assign(data.Data().begin(), data.Data().end());
    } else if (type == kBKGD) {
      Background.assign(data.Data().begin(), data.Data().end());
    } else if (!(typeAndData[0] & 0x20)) {
      LoadError();  // a critical chunk this reader doesn't know
    }
  }
  if (inflating) inflater.DecodeEnd();
  // Every filtered row must have arrived; data past the expected size is ignored.
  if (!inflating || rawOut != raw.get() + rawSize) LoadError();

  TColorManager colors;
  colors.SourceBitsPerSample = header.depth;
  colors.SourceSamplesPerPixel = SamplesPerPixel(header.colorType);
  colors.SourceBigEndian = true;
  switch (header.colorType) {
    case 0: colors.SourceScheme = TColorScheme::Gray; break;
    case 2: colors.SourceScheme = TColorScheme::RGB; break;
    case 3: colors.SourceScheme = TColorScheme::Indexed; colors.Palette = palette; break;
    case 4: colors.SourceScheme = TColorScheme::GrayAlpha; break;
    case 6: colors.SourceScheme = TColorScheme::RGBA; break;
  }
  if (FileGamma > 0) {
    colors.FileGamma = FileGamma;
    colors.DisplayGamma = kDisplayGamma;
  }
  colors.SetupConversion();

  image_.Reset(int32_t(header.width), int32_t(header.height), PixelFormat::Xrgb8888);
  const size_t bitsPerPixel = size_t(header.depth) * size_t(colors.SourceSamplesPerPixel);
  const size_t bpp = bitsPerPixel < 8 ? 1 : bitsPerPixel / 8;
  uint8_t* row = raw.get();
  // 8-bit RGB(A) without a gamma correction, the common photo case, skips the converter.
  const bool plainRgb = header.depth == 8 && (header.colorType == 2 || header.colorType == 6) &&
                        (FileGamma <= 0 || std::fabs(1.0 / (FileGamma * kDisplayGamma) - 1.0) <= 1e-3);
  if (!header.interlace) {
    const size_t rowBytes = (size_t(header.width) * bitsPerPixel + 7) / 8;
    const uint8_t* prior = nullptr;
    for (uint32_t y = 0; y < header.height; ++y) {
      Unfilter(row[0], row + 1, prior, rowBytes, bpp);
      if (plainRgb) {
        const uint8_t* p = row + 1;
        auto* target = reinterpret_cast<uint32_t*>(image_.Row(int32_t(y)));
        for (uint32_t x = 0; x < header.width; ++x, p += bpp) target[x] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      } else {
        colors.ConvertRow(row + 1, image_.Row(int32_t(y)), int32_t(header.width));
      }
      prior = row + 1;
      row += rowBytes + 1;
    }
    return;
  }
  std::vector<uint32_t> passPixels;
  for (const Pass& pass : kAdam7) {
    const uint32_t w = PassSize(header.width, pass.x0, pass.dx), h = PassSize(header.height, pass.y0, pass.dy);
    if (!w || !h) continue;
    const size_t rowBytes = (size_t(w) * bitsPerPixel + 7) / 8;
    passPixels.resize(w);
    const uint8_t* prior = nullptr;
    for (uint32_t j = 0; j < h; ++j) {
      Unfilter(row[0], row + 1, prior, rowBytes, bpp);
      colors.ConvertRow(row + 1, reinterpret_cast<uint8_t*>(passPixels.data()), int32_t(w));
      auto* target = reinterpret_cast<uint32_t*>(image_.Row(int32_t(pass.y0 + j * pass.dy)));
      for (uint32_t i = 0; i < w; ++i) target[pass.x0 + i * pass.dx] = passPixels[i];
      prior = row + 1;
      row += rowBytes + 1;
    }
  }
}

}  // namespace vitrine
