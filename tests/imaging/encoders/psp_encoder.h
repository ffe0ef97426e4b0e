#pragma once
// Paint Shop Pro pictures of file versions 3 and 4, from the published layout.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "byte_writer.h"

namespace vitrine::testing {

// Paint Shop Pro, file versions 3 and 4.
struct PspLayer {
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint8_t opacity = 255;
  bool visible = true;
  std::vector<std::vector<uint8_t>> channels;  // R, G, B (24-bit) or one index plane
  std::vector<uint8_t> mask;                   // transparency, 8 bits per pixel, empty for none
};

struct PspPicture {
  int major = 3;
  int32_t width = 0, height = 0;
  uint16_t depth = 24;
  uint16_t compression = 0;        // 0 none, 1 RLE, 2 LZ77
  std::vector<uint32_t> palette;   // 0x00RRGGBB, for depth <= 8
  std::vector<PspLayer> layers;    // bottom first
  bool composite = false;          // version 4: also write a composite image of layer 0
};

inline std::vector<uint8_t> PspCompress(const std::vector<uint8_t>& plain, uint16_t compression) {
  if (compression == 0) return plain;
  if (compression == 2) {
    uLongf size = compressBound(uLong(plain.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, plain.data(), uLong(plain.size()));
    out.resize(size);
    return out;
  }
  std::vector<uint8_t> out;  // RLE: runs of 2..127 as 128+n, literals of up to 128
  size_t x = 0;
  while (x < plain.size()) {
    size_t run = 1;
    while (x + run < plain.size() && run < 127 && plain[x + run] == plain[x]) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(128 + run));
      out.push_back(plain[x]);
      x += run;
    } else {
      size_t literal = 1;
      while (x + literal < plain.size() && literal < 128 &&
             !(x + literal + 1 < plain.size() && plain[x + literal] == plain[x + literal + 1]))
        ++literal;
      out.push_back(uint8_t(literal));
      out.insert(out.end(), plain.begin() + long(x), plain.begin() + long(x + literal));
      x += literal;
    }
  }
  return out;
}

class PspWriter {
 public:
  explicit PspWriter(int major) : v3_(major == 3) {}

  // A block: "~BK\0", id, (v3: initial length), total length, then the data.
  std::vector<uint8_t> Block(uint16_t id, const std::vector<uint8_t>& initial, const std::vector<uint8_t>& rest) {
    Bytes b;
    b.Put("~BK\0", 4);
    b.U16LE(id);
    if (v3_) b.U32LE(uint32_t(initial.size()));
    b.U32LE(uint32_t(initial.size() + rest.size()));
    b.Put(initial);
    b.Put(rest);
    return b.v;
  }
  // Version 4 chunks carry their own length, counting its four bytes.
  std::vector<uint8_t> Chunk(const std::vector<uint8_t>& body) {
    if (v3_) return body;
    Bytes b;
    b.U32LE(uint32_t(body.size() + 4));
    b.Put(body);
    return b.v;
  }
  std::vector<uint8_t> Channel(const std::vector<uint8_t>& plain, uint16_t compression, uint16_t bitmapType,
                               uint16_t channelType) {
    const auto packed = PspCompress(plain, compression);
    Bytes info;
    info.U32LE(uint32_t(packed.size()));
    info.U32LE(uint32_t(plain.size()));
    info.U16LE(bitmapType);
    info.U16LE(channelType);
    return Block(5, Chunk(info.v), packed);
  }
  std::vector<uint8_t> Palette(const std::vector<uint32_t>& palette) {
    Bytes count;
    count.U32LE(uint32_t(palette.size()));
    Bytes entries;
    for (uint32_t c : palette) {
      entries.U8(c);
      entries.U8(c >> 8);
      entries.U8(c >> 16);
      entries.U8(0);
    }
    return Block(2, Chunk(count.v), entries.v);
  }
  bool v3_;
};

inline std::vector<uint8_t> EncodePsp(const PspPicture& p) {
  PspWriter w(p.major);
  Bytes out;
  out.Put("Paint Shop Pro Image File\n\x1a", 27);
  out.Put(std::vector<uint8_t>(5, 0));
  out.U16LE(uint32_t(p.major));
  out.U16LE(0);

  Bytes gia;
  gia.U32LE(uint32_t(p.width));
  gia.U32LE(uint32_t(p.height));
  gia.Put(std::vector<uint8_t>(8, 0));
  gia.U8(0);
  gia.U16LE(p.compression);
  gia.U16LE(p.depth);
  gia.U16LE(1);
  gia.U32LE(p.depth >= 24 ? 1u << 24 : 1u << p.depth);
  gia.U8(0);
  gia.U32LE(0);
  gia.U32LE(0);
  gia.U16LE(uint32_t(p.layers.size()));
  if (p.major >= 4) gia.U32LE(0x1 | (p.composite ? 0x04000000u : 0u));
  out.Put(w.Block(0, w.Chunk(gia.v), {}));
  if (!p.palette.empty()) out.Put(w.Palette(p.palette));

  auto channelBlocks = [&](const PspLayer& layer, uint16_t colorType) {
    std::vector<uint8_t> blocks;
    for (size_t c = 0; c < layer.channels.size(); ++c) {
      const auto b = w.Channel(layer.channels[c], p.compression, colorType,
                               uint16_t(layer.channels.size() == 1 ? 0 : c + 1));
      blocks.insert(blocks.end(), b.begin(), b.end());
    }
    if (!layer.mask.empty()) {
      const auto b = w.Channel(layer.mask, p.compression, 1, 0);
      blocks.insert(blocks.end(), b.begin(), b.end());
    }
    return blocks;
  };

  std::vector<uint8_t> bank;
  for (const PspLayer& layer : p.layers) {
    Bytes info;
    if (p.major == 3) {
      std::vector<uint8_t> name(256, 0);
      std::memcpy(name.data(), "Layer", 5);
      info.Put(name);
      info.U8(0);
    } else {
      info.U16LE(5);
      info.Put("Layer", 5);
      info.U8(1);
    }
    for (int i = 0; i < 2; ++i) {  // image rect, saved image rect
      info.U32LE(uint32_t(layer.left));
      info.U32LE(uint32_t(layer.top));
      info.U32LE(uint32_t(layer.left + layer.width));
      info.U32LE(uint32_t(layer.top + layer.height));
    }
    info.U8(layer.opacity);
    info.U8(0);
    info.U8(layer.visible ? 1 : 0);
    info.U8(0);
    info.U8(0);
    info.Put(std::vector<uint8_t>(32, 0));
    info.U8(0);
    info.U8(0);
    info.U8(0);
    info.U16LE(5);
    info.Put(std::vector<uint8_t>(40, 0));
    Bytes counts;
    counts.U16LE(1);
    counts.U16LE(uint32_t(layer.channels.size() + (layer.mask.empty() ? 0 : 1)));
    std::vector<uint8_t> initial;
    if (p.major == 3) {
      initial = info.v;
      initial.insert(initial.end(), counts.v.begin(), counts.v.end());
    } else {
      initial = w.Chunk(info.v);
      const auto c = w.Chunk(counts.v);
      initial.insert(initial.end(), c.begin(), c.end());
    }
    const auto block = w.Block(4, initial, channelBlocks(layer, 0));
    bank.insert(bank.end(), block.begin(), block.end());
  }
  out.Put(w.Block(3, {}, bank));  // the layer bank holds only its layer blocks

  if (p.major >= 4 && p.composite) {
    const PspLayer& layer = p.layers.front();
    Bytes attributes;
    attributes.U32LE(uint32_t(p.width));
    attributes.U32LE(uint32_t(p.height));
    attributes.U16LE(p.depth);
    attributes.U16LE(p.compression);
    attributes.U16LE(1);
    attributes.U32LE(0);
    attributes.U16LE(0);  // composite, not thumbnail
    Bytes counts;
    counts.U16LE(1);
    counts.U16LE(uint32_t(layer.channels.size()));
    std::vector<uint8_t> image = p.palette.empty() ? std::vector<uint8_t>{} : w.Palette(p.palette);
    PspLayer flat = layer;
    flat.mask.clear();
    const auto channels = channelBlocks(flat, 8);
    image.insert(image.end(), channels.begin(), channels.end());
    Bytes count;
    count.U32LE(1);
    std::vector<uint8_t> subs = w.Block(17, w.Chunk(attributes.v), {});
    const auto imageBlock = w.Block(9, w.Chunk(counts.v), image);
    subs.insert(subs.end(), imageBlock.begin(), imageBlock.end());
    out.Put(w.Block(16, w.Chunk(count.v), subs));
  }
  return out.v;
}

}  // namespace vitrine::testing
