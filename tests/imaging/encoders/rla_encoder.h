#pragma once
// Wavefront RLA pictures, from the published layout.
#include <cstdint>
#include <cstring>
#include <vector>

#include "byte_writer.h"

namespace vitrine::testing {

// colour channels only, 8 or 16 bits, rows bottom-up.
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

}  // namespace vitrine::testing
