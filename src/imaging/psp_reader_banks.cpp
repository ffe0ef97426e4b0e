// The Paint Shop Pro reader's banks: the composite bank, whose full-size raster composite is
// the picture, and the layer bank, whose visible raster layers are blended over white.
#include <algorithm>
#include <utility>
#include <vector>

#include "imaging/psp_reader_parser.h"
#include "imaging/reader_graphic.h"

namespace vitrine::psp {

namespace {

enum CompositeType : uint16_t { kFullComposite = 0 };

struct Layer {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // the stored pixels, right/bottom exclusive
  uint8_t opacity = 255;
  bool visible = true;
  bool raster = true;
};

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

}  // namespace

Picture WhiteCanvas(int32_t width, int32_t height) {
  Picture canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.color.assign(size_t(width) * size_t(height), kWhite);
  return canvas;
}

// Attributes sub-blocks first, then the images in the same order; the full-size raster
// composite is the picture.
void PspParser::ReadCompositeBank(const Block& bank) {
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
Picture PspParser::ReadCompositeImage(const Block& image, const Attributes& c) {
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

void PspParser::ReadLayerBank(const Block& bank) {
  reader_.Seek(bank.content);
  while (reader_.Position() + kBlockHeaderSize <= bank.end) {
    const Block sub = ReadBlock(bank.end);
    if (sub.id == kLayer) ReadLayer(sub);
    reader_.Seek(sub.end);
  }
}

// One layer, blended onto the canvas when it is a visible raster layer.
void PspParser::ReadLayer(const Block& block) {
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

}  // namespace vitrine::psp
