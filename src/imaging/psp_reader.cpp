#include "imaging/psp_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/decoders/lz77_decoder.h"
#include "imaging/decoders/psp_rle_decoder.h"

namespace vitrine {

namespace {

constexpr char kSignature[] = "Paint Shop Pro Image File";
constexpr size_t kSignatureCompared = 25;
constexpr size_t kSignatureArea = 32;      // the signature padded with zeros; the version follows
constexpr size_t kFileHeaderSize = 36;     // signature area, major and minor version
constexpr size_t kBlockHeaderSize = 10;    // "~BK\0", id, length (version 4)
constexpr size_t kChunkLengthSize = 4;     // version 4 chunks count their own length field
constexpr size_t kV3LayerNameSize = 256;   // version 3 layer info starts with a fixed-size name
// A zlib stream expands at most about 1032 times.
constexpr uint64_t kMaxInflateRatio = 1032;
// ... which for 1-bit samples covers about 8256 pixels a byte.
constexpr uint64_t kMaxPixelsPerPackedByte = 8256;
constexpr uint32_t kWhite = 0xFFFFFF;

enum BlockId : uint16_t {
  kImageAttributes = 0,
  kPalette = 2,
  kLayerBank = 3,
  kLayer = 4,
  kChannel = 5,
  kCompositeImage = 9,
  kCompositeBank = 16,
  kCompositeAttributes = 17,
  kJpegCompositeImage = 18,
};
enum Compression : uint16_t { kNone = 0, kRLE = 1, kLZ77 = 2 };
enum BitmapType : uint16_t { kLayerColor = 0, kLayerTransparency = 1, kComposite = 8 };
enum CompositeType : uint16_t { kFullComposite = 0 };
constexpr uint32_t kCompositePresent = 0x04000000;


struct Block {
  uint16_t id = 0;
  size_t data = 0;     // first byte after the block header
  size_t content = 0;  // version 3: past the initial chunk; version 4: same as data
  size_t end = 0;
};

struct Attributes {
  int32_t width = 0, height = 0;
  uint16_t compression = 0, depth = 0;
  bool grey = false;
  uint32_t contents = 0;
};

struct Layer {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // the stored pixels, right/bottom exclusive
  uint8_t opacity = 255;
  bool visible = true;
  bool raster = true;
};

// Pixels being assembled: colour (0x00RRGGBB) and coverage 0..255.
struct Picture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> color;
  std::vector<uint8_t> alpha;
};

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

std::vector<uint32_t> GreyPalette(int depth) {
  const size_t count = size_t(1) << depth;
  std::vector<uint32_t> palette(count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = uint32_t(i * 255 / (count - 1));
    palette[i] = v << 16 | v << 8 | v;
  }
  return palette;
}

// Blends a layer over the canvas with its opacity and transparency mask, clipped.
void Blend(Picture& canvas, const Picture& layer, int64_t left, int64_t top, uint8_t opacity) {
  for (int64_t y = std::max<int64_t>(0, -top); y < layer.height && top + y < canvas.height; ++y) {
    for (int64_t x = std::max<int64_t>(0, -left); x < layer.width && left + x < canvas.width; ++x) {
      const size_t s = size_t(y) * size_t(layer.width) + size_t(x);
      const size_t d = size_t(top + y) * size_t(canvas.width) + size_t(left + x);
      const uint32_t a = (uint32_t(layer.alpha[s]) * opacity + 127) / 255;
      if (a == 255) {
        canvas.color[d] = layer.color[s];
        continue;
      }
      uint32_t out = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t src = (layer.color[s] >> shift) & 0xFF, dst = (canvas.color[d] >> shift) & 0xFF;
        out |= ((src * a + dst * (255 - a) + 127) / 255) << shift;
      }
      canvas.color[d] = out;
    }
  }
}

Picture WhiteCanvas(int32_t width, int32_t height) {
  Picture canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.color.assign(size_t(width) * size_t(height), kWhite);
  return canvas;
}

class PspParser {
 public:
  PspParser(ByteReader& reader, uint16_t major, std::string_view formatName)
      : reader_(reader), v3_(major == 3), formatName_(formatName) {}

  // Walks the file's main blocks and returns the picture: the composite image when the file
  // carries one, otherwise its visible raster layers over a white canvas.
  Picture Parse() {
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

 private:
  [[noreturn]] void Invalid() const { throw EInvalidGraphic::InvalidFormat(formatName_); }

  void CheckAttributes(const Attributes& a) const {
    // The canvas is filled by layers stored in this file, so canvases larger than its
    // bytes can fill are forged.
    CheckPictureSize(a.width, a.height, formatName_);
    if (uint64_t(a.width) * uint64_t(a.height) > uint64_t(reader_.Size()) * kMaxPixelsPerPackedByte) Invalid();
    if (a.depth != 1 && a.depth != 4 && a.depth != 8 && a.depth != 24) throw EInvalidGraphic::InvalidColorFormat();
    if (a.compression > kLZ77) throw EInvalidGraphic::UnsupportedFormat();
  }

  // Attributes sub-blocks first, then the images in the same order; the full-size raster
  // composite is the picture.
  void ReadCompositeBank(const Block& bank) {
    std::vector<std::pair<Attributes, uint16_t>> entries;
    size_t index = 0;
    reader_.Seek(ChunkEnd(bank.data));
    while (reader_.Position() + kBlockHeaderSize <= bank.end) {
      const Block sub = ReadBlock(bank.end);
      if (sub.id == kCompositeAttributes) {
        reader_.Seek(sub.data + kChunkLengthSize);
        Attributes c;
        c.width = reader_.S32LE();
        c.height = reader_.S32LE();
        c.depth = reader_.U16LE();
        c.compression = reader_.U16LE();
        reader_.Skip(2 + 4);  // planes, colours
        entries.emplace_back(c, reader_.U16LE());
      } else if (sub.id == kCompositeImage && index < entries.size()) {
        const auto& [c, type] = entries[index++];
        if (type == kFullComposite && c.width == attributes_->width && c.height == attributes_->height &&
            c.depth == attributes_->depth && c.compression <= kLZ77)
          composite_ = ReadCompositeImage(sub, c);
      } else if (sub.id == kJpegCompositeImage) {
        ++index;  // thumbnails
      }
      reader_.Seek(sub.end);
    }
  }

  // A composite image: its channels, after a palette of its own where it has one.
  Picture ReadCompositeImage(const Block& image, const Attributes& c) {
    const size_t channels = ChunkEnd(image.data);
    std::vector<uint32_t> palette = palette_;
    reader_.Seek(channels);
    size_t first = channels;
    if (reader_.Position() + kBlockHeaderSize <= image.end) {
      const Block maybePalette = ReadBlock(image.end);
      if (maybePalette.id == kPalette) {
        palette = ReadPalette(maybePalette);
        first = maybePalette.end;
      }
    }
    if (c.depth <= 8 && palette.empty()) palette = GreyPalette(c.depth);
    return ReadChannels(first, image.end, c.width, c.height, c, c.compression, palette);
  }

  void ReadLayerBank(const Block& bank) {
    reader_.Seek(bank.content);
    while (reader_.Position() + kBlockHeaderSize <= bank.end) {
      const Block sub = ReadBlock(bank.end);
      if (sub.id == kLayer) ReadLayer(sub);
      reader_.Seek(sub.end);
    }
  }

  // One layer, blended onto the canvas when it is a visible raster layer.
  void ReadLayer(const Block& block) {
    Layer layer;
    size_t infoEnd = 0;
    if (v3_) {
      reader_.Seek(block.data + kV3LayerNameSize);
      layer.raster = reader_.U8() <= 1;  // normal or floating selection
    } else {
      infoEnd = ChunkEnd(block.data);
      reader_.Skip(reader_.U16LE());  // name
      layer.raster = reader_.U8() <= 2;  // undefined, raster or floating selection
    }
    reader_.Skip(16);  // image rect
    layer.left = reader_.S32LE();
    layer.top = reader_.S32LE();
    layer.right = reader_.S32LE();
    layer.bottom = reader_.S32LE();
    layer.opacity = reader_.U8();
    reader_.Skip(1);  // blend mode: every layer is blended normally
    layer.visible = reader_.U8() != 0;
    // Version 4 keeps the bitmap and channel counts in a chunk of their own.
    const size_t channels = v3_ ? block.content : ChunkEnd(infoEnd);
    const int64_t w = int64_t(layer.right) - layer.left, h = int64_t(layer.bottom) - layer.top;
    if (!layer.raster || !layer.visible || w <= 0 || h <= 0) return;
    if (w * h > kMaxPicturePixels) Invalid();
    std::vector<uint32_t> palette = palette_;
    if (attributes_->depth <= 8 && palette.empty()) palette = GreyPalette(attributes_->depth);
    const Picture pixels =
        ReadChannels(channels, block.end, int32_t(w), int32_t(h), *attributes_, attributes_->compression, palette);
    if (!canvas_) canvas_ = WhiteCanvas(attributes_->width, attributes_->height);
    Blend(*canvas_, pixels, layer.left, layer.top, layer.opacity);
  }


  Block ReadBlock(size_t limit) {
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
  size_t ChunkEnd(size_t at) {
    reader_.Seek(at);
    const uint32_t size = reader_.U32LE();
    if (size < 4 || size > reader_.Size() - at) Invalid();
    return at + size;
  }

  Attributes ReadAttributes(const Block& block) {
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

  std::vector<uint32_t> ReadPalette(const Block& block) {
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
  std::vector<uint8_t> ReadChannel(const Block& block, uint16_t compression, int32_t width, int32_t height, int depth,
                                   uint16_t& bitmapType, uint16_t& channelType) {
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
  Picture ReadChannels(size_t from, size_t to, int32_t width, int32_t height, const Attributes& attributes,
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

  ByteReader& reader_;
  bool v3_;
  std::string_view formatName_;
  std::optional<Attributes> attributes_;
  std::vector<uint32_t> palette_;
  std::optional<Picture> composite_;
  std::optional<Picture> canvas_;  // the layers blended so far
};

}  // namespace

void TPSPGraphic::Decode(std::span<const uint8_t> file) {
  ByteReader reader(file);
  if (reader.Size() < kFileHeaderSize || std::memcmp(file.data(), kSignature, kSignatureCompared) != 0)
    Invalid();
  reader.Seek(kSignatureArea);
  const uint16_t major = reader.U16LE();
  reader.Skip(2);  // minor version
  if (major != 3 && major != 4) throw EInvalidGraphic::UnsupportedFormat();
  const Picture picture = PspParser(reader, major, FormatName()).Parse();

  image_.Reset(picture.width, picture.height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < picture.height; ++y)
    std::memcpy(image_.Row(y), picture.color.data() + size_t(y) * size_t(picture.width), size_t(picture.width) * 4);
}

}  // namespace vitrine
