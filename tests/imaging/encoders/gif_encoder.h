#pragma once
// A GIF writer for hand-made test files: every pixel goes out as its own root code, with a
// clear before the table would widen the codes, so the data is valid LZW of fixed width.
#include <cstdint>
#include <string>
#include <vector>

namespace vitrine::testing {

struct GifCodeWriter {
  std::vector<uint8_t> bytes;
  uint32_t buffer = 0;
  int count = 0;
  void Put(int code, int size) {
    buffer |= uint32_t(code) << count;
    count += size;
    while (count >= 8) {
      bytes.push_back(uint8_t(buffer));
      buffer >>= 8;
      count -= 8;
    }
  }
  void Flush() {
    if (count > 0) bytes.push_back(uint8_t(buffer));
    buffer = 0;
    count = 0;
  }
};

// LZW data of the indices with the given minimum code size, as sub-blocks ending in 0.
inline std::vector<uint8_t> GifImageData(const std::vector<uint8_t>& indices, int minimumCodeSize, bool endCode = true) {
  const int clear = 1 << minimumCodeSize, size = minimumCodeSize + 1;
  // Each code after the first adds a table entry; clear before the width would grow.
  const int perClear = (1 << size) - clear - 2;
  GifCodeWriter writer;
  writer.Put(clear, size);
  int sinceClear = 0;
  for (uint8_t index : indices) {
    if (sinceClear == perClear) {
      writer.Put(clear, size);
      sinceClear = 0;
    }
    writer.Put(index, size);
    ++sinceClear;
  }
  if (endCode) writer.Put(clear + 1, size);
  writer.Flush();
  std::vector<uint8_t> out = {uint8_t(minimumCodeSize)};
  for (size_t at = 0; at < writer.bytes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, writer.bytes.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), writer.bytes.begin() + at, writer.bytes.begin() + at + n);
  }
  out.push_back(0);
  return out;
}

struct GifPicture {
  uint16_t width = 0, height = 0;
  std::vector<uint8_t> globalTable, localTable;  // RGB triples, a power of two of them
  std::vector<uint8_t> indices;                  // in stored order (interlaced order when interlaced)
  bool interlaced = false;
  int minimumCodeSize = 2;
  std::vector<uint8_t> beforeImage;  // extensions or other blocks between the table and the image
};

inline uint8_t TableBits(const std::vector<uint8_t>& table) {
  int bits = 0;
  while ((2 << bits) * 3 < int(table.size())) ++bits;
  return uint8_t(bits);
}

inline std::vector<uint8_t> EncodeGif(const GifPicture& p) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  auto u16 = [&](uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  u16(p.width);
  u16(p.height);
  out.push_back(p.globalTable.empty() ? 0 : uint8_t(0x80 | TableBits(p.globalTable)));
  out.insert(out.end(), {0, 0});
  out.insert(out.end(), p.globalTable.begin(), p.globalTable.end());
  out.insert(out.end(), p.beforeImage.begin(), p.beforeImage.end());
  out.push_back(',');
  u16(0);
  u16(0);
  u16(p.width);
  u16(p.height);
  out.push_back(uint8_t((p.localTable.empty() ? 0 : 0x80 | TableBits(p.localTable)) | (p.interlaced ? 0x40 : 0)));
  out.insert(out.end(), p.localTable.begin(), p.localTable.end());
  const auto data = GifImageData(p.indices, p.minimumCodeSize);
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(';');
  return out;
}

}  // namespace vitrine::testing
