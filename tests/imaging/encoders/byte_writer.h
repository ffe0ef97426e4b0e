#pragma once
// The byte sink the hand-written encoders fill: little- and big-endian fields, patched later
// where a length is only known at the end.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vitrine::testing {

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

}  // namespace vitrine::testing
