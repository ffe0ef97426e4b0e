#pragma once
// Clearing the fourth byte of 32-bit pixels that a library wrote as 0xFF (libjpeg-turbo's
// BGRX): the bitmap keeps it 0. It runs on every decoded row, while the row is still in the
// cache, and AVX2 halves its steps where the processor has it.
#include <cstdint>
#include <span>

namespace vitrine {

struct PadClearer {
  const char* name;
  void (*clear)(uint8_t* row, uint32_t width);  // width in pixels; row 4-byte aligned
};

// The versions this processor runs, fastest first; the portable one is always last.
std::span<const PadClearer> PadClearers();

// Sets byte 3 of each of the row's `width` pixels to 0 with the fastest version.
void ClearPadBytes(uint8_t* row, uint32_t width);

}  // namespace vitrine
