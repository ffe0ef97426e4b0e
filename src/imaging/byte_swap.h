#pragma once
// Byte swapping for the big-endian formats (SGI, PSD, PNG, ...): fields and sample arrays
// read as raw bytes are turned around in place. The swap is unconditional: both builds
// (x86-64 and i686) are little-endian.
#include <cstddef>
#include <cstdint>

namespace vitrine {

constexpr uint16_t SwapShort(uint16_t value) { return uint16_t((value >> 8) | (value << 8)); }

constexpr uint32_t SwapLong(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

inline void SwapShortArray(uint16_t* values, size_t count) {
  for (size_t i = 0; i < count; ++i) values[i] = SwapShort(values[i]);
}

inline void SwapLongArray(uint32_t* values, size_t count) {
  for (size_t i = 0; i < count; ++i) values[i] = SwapLong(values[i]);
}

}  // namespace vitrine
