#pragma once
// Movie files built in the tests: the header fields written out bit by bit.
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace vitrine::test {

struct MovieOutline {
  int32_t xMin = 0, xMax = 11000, yMin = 0, yMax = 8000;  // twips
  uint16_t frameRate = 0x0C00;                             // 12.0
  uint16_t frameCount = 30;
  std::vector<uint8_t> tags;  // after the header
};

inline void Tag(std::vector<uint8_t>& out, uint16_t code, const std::vector<uint8_t>& body, bool longForm = false) {
  if (longForm || body.size() >= 0x3F) {
    uint16_t v = uint16_t(code << 6 | 0x3F);
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    uint32_t n = uint32_t(body.size());
    out.insert(out.end(), {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)});
  } else {
    uint16_t v = uint16_t(code << 6 | body.size());
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
  }
  out.insert(out.end(), body.begin(), body.end());
}

// The rectangle with 15-bit fields, then rate, count and the tags.
inline std::vector<uint8_t> Body(const MovieOutline& m) {
  std::vector<uint8_t> out;
  uint64_t bits = 0;
  int n = 0;
  auto put = [&](uint32_t v, int count) {
    for (int i = count - 1; i >= 0; --i) {
      bits = (bits << 1) | ((v >> i) & 1);
      if (++n == 8) {
        out.push_back(uint8_t(bits));
        bits = 0;
        n = 0;
      }
    }
  };
  put(16, 5);
  for (int32_t v : {m.xMin, m.xMax, m.yMin, m.yMax}) put(uint32_t(v) & 0xFFFF, 16);
  if (n) out.push_back(uint8_t(bits << (8 - n)));
  out.insert(out.end(), {uint8_t(m.frameRate), uint8_t(m.frameRate >> 8), uint8_t(m.frameCount),
                         uint8_t(m.frameCount >> 8)});
  out.insert(out.end(), m.tags.begin(), m.tags.end());
  return out;
}

inline std::vector<uint8_t> Movie(const MovieOutline& m, bool compressed) {
  std::vector<uint8_t> body = Body(m);
  uint32_t length = uint32_t(body.size() + 8);
  std::vector<uint8_t> out = {uint8_t(compressed ? 'C' : 'F'), 'W', 'S', 10, uint8_t(length), uint8_t(length >> 8),
                              uint8_t(length >> 16), uint8_t(length >> 24)};
  if (!compressed) {
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
  uLongf size = compressBound(uLong(body.size()));
  std::vector<uint8_t> packed(size);
  compress2(packed.data(), &size, body.data(), uLong(body.size()), 9);
  out.insert(out.end(), packed.begin(), packed.begin() + long(size));
  return out;
}

}  // namespace vitrine::test
