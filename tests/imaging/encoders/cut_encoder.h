#pragma once
// Dr. Halo CUT pictures and PAL palettes, from the published layout (no tool here writes them).
#include <cstdint>
#include <vector>

#include "byte_writer.h"

namespace vitrine::testing {

// rows of (u16 length incl. the final 0, packets, 0).
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

}  // namespace vitrine::testing
