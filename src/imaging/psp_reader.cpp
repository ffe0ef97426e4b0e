#include "imaging/psp_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/decoders/lz77_decoder.h"
#include "imaging/decoders/psp_rle_decoder.h"
#include "imaging/psp_reader_parser.h"

namespace vitrine {

namespace psp {

namespace {

constexpr char kSignature[] = "Paint Shop Pro Image File";
constexpr size_t kSignatureCompared = 25;
constexpr size_t kSignatureArea = 32;      // the signature padded with zeros; the version follows
constexpr size_t kFileHeaderSize = 36;     // signature area, major and minor version
// A zlib stream expands at most about 1032 times.
constexpr uint64_t kMaxInflateRatio = 1032;
// ... which for 1-bit samples covers about 8256 pixels a byte.
constexpr uint64_t kMaxPixelsPerPackedByte = 8256;

enum BitmapType : uint16_t { kLayerColor = 0, kLayerTransparency = 1, kComposite = 8 };
constexpr uint32_t kCompositePresent = 0x04000000;

// Expands rows of packed palette indices (1, 4 or 8 bits, MSB first) to colours.
void IndexedToColor(const std::vector<uint8_t>& samples, size_t rowBytes, int depth, const std::vector<uint32_t>& palette,
                    Picture& picture) {
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* row = samples.data() + size_t(y) * rowBytes;
    for (int32_t x = 0; x < picture.width; ++x) {
      const size_t bit = size_t(x) * size_t(depth);
      const unsigned index = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
      picture.color[size_t(y) * size_t(picture.width) + size_t(x)] = index < palette.size() ? palette[index] : 0;
    }
  }
}

}  // namespace

Picture PspParser::Parse() {
  const size_t fileEnd = reader_.Size();
  while (reader_.Position() + kBlockHeaderSize <= fileEnd) {
    const Block block = ReadBlock(fileEnd);
    if (block.id == kImageAttributes) {
      attributes_ = ReadAttributes(block);
      CheckAttributes(*attributes_);
    } else if (!attributes_) {
      Invalid();  // the attributes block comes first
    } else if (block.id == kPalette) {
      palette_ = ReadPalette(block);
    } else if (block.id == kCompositeBank && !v3_ && (attributes_->contents & kCompositePresent) && !composite_) {
      ReadCompositeBank(block);
    } else if (block.id == kLayerBank) {
      ReadLayerBank(block);
    }
    reader_.Seek(block.end);
  }
  if (!attributes_) Invalid();
  if (composite_) return std::move(*composite_);
  if (canvas_) return std::move(*canvas_);
  return WhiteCanvas(attributes_->width, attributes_->height);  // no visible raster layer
}

void PspParser::Invalid() const { throw EInvalidGraphic::InvalidFormat(formatName_); }

void PspParser::CheckAttributes(const Attributes& a) const {
  // The canvas is filled by layers stored in this file, so canvases larger than its
  // bytes can fill are forged.
  CheckPictureSize(a.width, a.height, formatName_);
  if (uint64_t(a.width) * uint64_t(a.height) > uint64_t(reader_.Size()) * kMaxPixelsPerPackedByte) Invalid();
  if (a.depth != 1 && a.depth != 4 && a.depth != 8 && a.depth != 24) throw EInvalidGraphic::InvalidColorFormat();
  if (a.compression > kLZ77) throw EInvalidGraphic::UnsupportedFormat();
}

Block PspParser::ReadBlock(size_t limit) {
  reader_.Seek(reader_.Position());
  if (reader_.U8() != '~' || reader_.U8() != 'B' || reader_.U8() != 'K' || reader_.U8() != 0) Invalid();
  Block block;
  block.id = reader_.U16LE();
  const uint32_t initial = v3_ ? reader_.U32LE() : 0;
  const uint32_t total = reader_.U32LE();
  block.data = reader_.Position();
  if (total > limit - std::min(limit, block.data) || initial > total) Invalid();
  block.end = block.data + total;
  block.content = block.data + initial;
  return block;
}

// Version 4 blocks begin with a chunk that counts its own four length bytes.
size_t PspParser::ChunkEnd(size_t at) {
  reader_.Seek(at);
  const uint32_t size = reader_.U32LE();
  if (size < 4 || size > reader_.Size() - at) Invalid();
  return at + size;
}

Attributes PspParser::ReadAttributes(const Block& block) {
  reader_.Seek(block.data + (v3_ ? 0 : 4));
  Attributes a;
  a.width = reader_.S32LE();
  a.height = reader_.S32LE();
  reader_.Skip(8 + 1);  // resolution and its unit
  a.compression = reader_.U16LE();
  a.depth = reader_.U16LE();
  reader_.Skip(2 + 4);  // planes, colours
  a.grey = reader_.U8() != 0;
  reader_.Skip(4 + 4 + 2);  // total size, active layer, layer count
  if (!v3_) a.contents = reader_.U32LE();
  return a;
}

std::vector<uint32_t> PspParser::ReadPalette(const Block& block) {
  size_t entries = block.content;
  if (v3_) {
    reader_.Seek(block.data);
    entries = std::max(block.content, block.data + 4);
  } else {
    entries = ChunkEnd(block.data);
    reader_.Seek(block.data + 4);
  }
  const uint32_t count = std::min<uint32_t>(reader_.U32LE(), 256);
  reader_.Seek(entries);
  std::vector<uint32_t> palette(count);
  for (auto& p : palette) {
    const uint32_t b = reader_.U8(), g = reader_.U8(), r = reader_.U8();
    reader_.Skip(1);
    p = r << 16 | g << 8 | b;
  }
  return palette;
}

// One channel's samples over a width x height area, rows without padding. Colour channels
// have the picture's depth; masks have 8 bits per pixel.
std::vector<uint8_t> PspParser::ReadChannel(const Block& block, uint16_t compression, int32_t width, int32_t height,
                                            int depth, uint16_t& bitmapType, uint16_t& channelType) {
  size_t pixels = block.content;
  if (v3_) {
    reader_.Seek(block.data);
  } else {
    pixels = ChunkEnd(block.data);
    reader_.Seek(block.data + 4);
  }
  const uint32_t packedLength = reader_.U32LE();
  reader_.Skip(4);  // unpacked length: the area gives it
  bitmapType = reader_.U16LE();
  channelType = reader_.U16LE();
  reader_.Seek(pixels);
  const auto packed = reader_.Bytes(std::min<size_t>(packedLength, block.end - std::min(block.end, pixels)));

  if (bitmapType != kLayerColor && bitmapType != kComposite) depth = 8;
  const size_t rowBytes = (size_t(width) * size_t(depth) + 7) / 8;
  const size_t expected = rowBytes * size_t(height);
  if (expected > uint64_t(packed.size()) * (compression == kNone ? 1 : kMaxInflateRatio)) Invalid();
  std::vector<uint8_t> out(expected, 0);
  const uint8_t* source = packed.data();
  uint8_t* dest = out.data();
  switch (compression) {
    case kNone: {
      // Some writers pad raw rows to four bytes; the stored length tells.
      const size_t padded = (rowBytes + 3) & ~size_t(3);
      if (padded != rowBytes && packed.size() == padded * size_t(height)) {
        for (int32_t y = 0; y < height; ++y) std::memcpy(out.data() + size_t(y) * rowBytes, source + size_t(y) * padded, rowBytes);
      } else {
        std::memcpy(dest, source, std::min(expected, packed.size()));
      }
      break;
    }
    case kRLE: {
      TPSPRLEDecoder decoder;
      decoder.Decode(source, dest, packed.size(), expected);
      break;
    }
    case kLZ77: {
      TLZ77Decoder inflater(Z_FINISH);
      inflater.DecodeInit();
      inflater.Decode(source, dest, packed.size(), expected);
      inflater.DecodeEnd();
      if (inflater.Result() != Z_STREAM_END && inflater.Result() != Z_OK && inflater.Result() != Z_BUF_ERROR) Invalid();
      break;
    }
    default:
      Invalid();
  }
  return out;
}

// Reads the channel blocks in [from, to) as one picture of the given area.
Picture PspParser::ReadChannels(size_t from, size_t to, int32_t width, int32_t height, const Attributes& attributes,
                                uint16_t compression, const std::vector<uint32_t>& palette) {
  // Refuse areas the blocks can't fill.
  const uint64_t colorBytes = (uint64_t(width) * uint64_t(attributes.depth == 24 ? 8 : attributes.depth) + 7) / 8 * uint64_t(height);
  if (colorBytes > uint64_t(to - std::min(to, from)) * kMaxInflateRatio) Invalid();
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.color.assign(size_t(width) * size_t(height), 0);
  picture.alpha.assign(size_t(width) * size_t(height), 255);
  const int depth = attributes.depth == 24 ? 8 : attributes.depth;
  const size_t rowBytes = (size_t(width) * size_t(depth) + 7) / 8;
  reader_.Seek(from);
  while (reader_.Position() + kBlockHeaderSize <= to) {
    const Block block = ReadBlock(to);
    if (block.id == kChannel) {
      uint16_t bitmapType = 0, channelType = 0;
      auto samples = ReadChannel(block, compression, width, height, depth, bitmapType, channelType);
      if (bitmapType == kLayerTransparency) {
        picture.alpha = std::move(samples);
      } else if (bitmapType == kLayerColor || bitmapType == kComposite) {
        if (attributes.depth == 24 && channelType >= 1 && channelType <= 3) {
          const int shift = 8 * (3 - channelType);  // red 16, green 8, blue 0
          for (size_t i = 0; i < picture.color.size(); ++i) picture.color[i] |= uint32_t(samples[i]) << shift;
        } else if (attributes.depth <= 8 && channelType == 0) {
          IndexedToColor(samples, rowBytes, depth, palette, picture);
        }
      }
    }
    reader_.Seek(block.end);
  }
  return picture;
}

}  // namespace psp

void TPSPGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);
  if (reader.Size() < psp::kFileHeaderSize || std::memcmp(file.data(), psp::kSignature, psp::kSignatureCompared) != 0)
    Invalid();
  reader.Seek(psp::kSignatureArea);
  const uint16_t major = reader.U16LE();
  reader.Skip(2);  // minor version
  if (major != 3 && major != 4) throw EInvalidGraphic::UnsupportedFormat();
  const psp::Picture picture = psp::PspParser(reader, major, FormatName()).Parse();

  image_.Reset(picture.width, picture.height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < picture.height; ++y)
    std::memcpy(image_.Row(y), picture.color.data() + size_t(y) * size_t(picture.width), size_t(picture.width) * 4);
}

}  // namespace vitrine
