#pragma once
// Writes Autodesk Animator PIC/CEL files (0x9119 header, 6-bit VGA palette, 8-bit indices,
// top-down, no padding), as the published layout describes; no tool here writes them.
#include <cstdint>
#include <vector>

namespace vitrine::testing {

struct AnimatorPicture {
  uint16_t width = 0, height = 0;
  int16_t x = 0, y = 0;
  uint8_t palette[768] = {};  // R, G, B per entry, 0..63
  std::vector<uint8_t> pixels;
  uint8_t bitsPerPixel = 8, compression = 0;
};

inline std::vector<uint8_t> EncodeAnimator(const AnimatorPicture& p) {
  std::vector<uint8_t> out;
  auto put16 = [&](uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  put16(0x9119);
  put16(p.width);
  put16(p.height);
  put16(uint16_t(p.x));
  put16(uint16_t(p.y));
  out.push_back(p.bitsPerPixel);
  out.push_back(p.compression);
  const uint32_t size = uint32_t(p.width) * p.height;
  put16(uint16_t(size));
  put16(uint16_t(size >> 16));
  out.resize(out.size() + 16, 0);
  out.insert(out.end(), p.palette, p.palette + 768);
  out.insert(out.end(), p.pixels.begin(), p.pixels.end());
  return out;
}

}  // namespace vitrine::testing
