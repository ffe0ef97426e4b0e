#pragma once
// Writers for the formats no tool here writes (Dr. Halo CUT + PAL, Wavefront RLA, Paint
// Shop Pro 3 and 4), from the published layouts, to feed the readers known pixels.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vitrine::testing_b {

struct Bytes {
  std::vector<uint8_t> v;
  void U8(uint32_t x) { v.push_back(uint8_t(x)); }
  void U16LE(uint32_t x) { U8(x); U8(x >> 8); }
  void U32LE(uint32_t x) { U16LE(x & 0xFFFF); U16LE(x >> 16); }
  void U16BE(uint32_t x) { U8(x >> 8); U8(x); }
  void U32BE(uint32_t x) { U16BE(x >> 16); U16BE(x & 0xFFFF); }
  void Put(const std::vector<uint8_t>& b) { v.insert(v.end(), b.begin(), b.end()); }
  void Put(const char* text, size_t n) { v.insert(v.end(), text, text + n); }
  void PatchU32LE(size_t at, uint32_t x) { for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i)); }
  void PatchU16BE(size_t at, uint32_t x) { v[at] = uint8_t(x >> 8); v[at + 1] = uint8_t(x); }
};

// ---- Dr. Halo CUT: rows of (u16 length incl. the final 0, packets, 0).
inline std::vector<uint8_t> EncodeCut(int width, int height, const std::vector<uint8_t>& indices) {
  Bytes out;
  out.U16LE(width);
  out.U16LE(height);
  out.U16LE(0);
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row;
    const uint8_t* p = indices.data() + size_t(y) * width;
    int x = 0;
    while (x < width) {
      int run = 1;
      while (x + run < width && run < 127 && p[x + run] == p[x]) ++run;
      if (run >= 3) {
        row.push_back(uint8_t(0x80 | run));
        row.push_back(p[x]);
        x += run;
        continue;
      }
      int literal = 0;
      while (x + literal < width && literal < 127 &&
             !(x + literal + 2 < width && p[x + literal] == p[x + literal + 1] && p[x + literal] == p[x + literal + 2]))
        ++literal;
      row.push_back(uint8_t(literal));
      row.insert(row.end(), p + x, p + x + literal);
      x += literal;
    }
    row.push_back(0);
    out.U16LE(uint32_t(row.size()));
    out.Put(row);
  }
  return out.v;
}

// A Dr. Halo palette of 8-bit RGB entries (max 255), in 512-byte blocks.
inline std::vector<uint8_t> EncodeHaloPalette(const std::vector<uint32_t>& rgb, uint16_t maximum = 255) {
  Bytes out;
  out.Put("AH", 2);
  out.U16LE(0xE3);
  out.U16LE(0);  // size, patched below
  out.U8(10);
  out.U8(0);
  out.U16LE(0);
  out.U16LE(0);
  out.U16LE(uint32_t(rgb.size() - 1));
  for (int c = 0; c < 3; ++c) out.U16LE(maximum);
  out.Put("Dr. Halo", 8);
  out.Put(std::vector<uint8_t>(12, 0));
  for (uint32_t color : rgb) {
    if (512 - out.v.size() % 512 < 6) out.Put(std::vector<uint8_t>(512 - out.v.size() % 512, 0));
    for (int shift : {16, 8, 0}) out.U16LE(((color >> shift) & 0xFF) * maximum / 255);
  }
  out.v[4] = uint8_t(out.v.size() - 40);
  out.v[5] = uint8_t((out.v.size() - 40) >> 8);
  return out.v;
}

// ---- Wavefront RLA: colour channels only, 8 or 16 bits, rows bottom-up.
inline std::vector<uint8_t> RlaRun(const std::vector<uint8_t>& plain) {
  std::vector<uint8_t> out;
  size_t x = 0;
  while (x < plain.size()) {
    size_t run = 1;
    while (x + run < plain.size() && run < 128 && plain[x + run] == plain[x]) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(run - 1));
      out.push_back(plain[x]);
      x += run;
      continue;
    }
    size_t literal = 1;
    while (x + literal < plain.size() && literal < 128 &&
           !(x + literal + 1 < plain.size() && plain[x + literal] == plain[x + literal + 1]))
      ++literal;
    out.push_back(uint8_t(-int(literal)));
    out.insert(out.end(), plain.begin() + long(x), plain.begin() + long(x + literal));
    x += literal;
  }
  return out;
}

// samples[c][y * width + x], top row first; bits 8 or 16.
inline std::vector<uint8_t> EncodeRla(int width, int height, int bits, const std::vector<std::vector<uint16_t>>& samples,
                                      int16_t left = 0, int16_t bottom = 0) {
  Bytes out;
  out.v.assign(740, 0);
  const int16_t right = int16_t(left + width - 1), top = int16_t(bottom + height - 1);
  for (size_t at : {size_t(0), size_t(8)}) {
    out.PatchU16BE(at, uint16_t(left));
    out.PatchU16BE(at + 2, uint16_t(right));
    out.PatchU16BE(at + 4, uint16_t(bottom));
    out.PatchU16BE(at + 6, uint16_t(top));
  }
  out.PatchU16BE(18, 0);
  out.PatchU16BE(20, uint16_t(samples.size()));
  out.PatchU16BE(26, 0xFFFE);
  std::memcpy(out.v.data() + 580, "rgb", 3);
  out.PatchU16BE(658, uint16_t(bits));
  const size_t table = out.v.size();
  out.v.resize(table + size_t(height) * 4);
  for (int i = 0; i < height; ++i) {
    const int y = height - 1 - i;
    const uint32_t offset = uint32_t(out.v.size());
    for (int b = 0; b < 4; ++b) out.v[table + size_t(i) * 4 + b] = uint8_t(offset >> (24 - 8 * b));
    for (const auto& channel : samples) {
      std::vector<uint8_t> plain;
      for (int byte = bits / 8 - 1; byte >= 0; --byte)  // most significant bytes first
        for (int x = 0; x < width; ++x) plain.push_back(uint8_t(channel[size_t(y) * width + x] >> (8 * byte)));
      const auto packed = RlaRun(plain);
      out.U16BE(uint32_t(packed.size()));
      out.Put(packed);
    }
  }
  return out.v;
}

// ---- Paint Shop Pro, file versions 3 and 4.
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

}  // namespace vitrine::testing_b
