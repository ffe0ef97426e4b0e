#include "imaging/pad_bytes.h"

#include <cstring>
#include <vector>

// MinGW's GCC cannot align the stack for 32-byte vectors, so there the portable
// version (SSE2 on the 32-bit build) is the only one.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__MINGW32__)
#define VITRINE_PAD_DISPATCH 1
#include <immintrin.h>
#endif

namespace vitrine {
namespace {

// Four pixels a step: one 16-byte AND where the compiler has vectors (SSE2, NEON).
void ClearPortable(uint8_t* row, uint32_t width) {
  typedef uint32_t Quad __attribute__((vector_size(16)));
  const Quad mask = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
  uint32_t x = 0;
  for (; x + 4 <= width; x += 4) {
    Quad quad;
    std::memcpy(&quad, row + 4 * x, sizeof quad);
    quad &= mask;
    std::memcpy(row + 4 * x, &quad, sizeof quad);
  }
  for (; x < width; ++x) row[4 * x + 3] = 0;
}

#if VITRINE_PAD_DISPATCH
__attribute__((target("avx2"))) void ClearAvx2(uint8_t* row, uint32_t width) {
  const __m256i mask = _mm256_set1_epi32(0x00FFFFFF);
  uint32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    auto* p = reinterpret_cast<__m256i*>(row + 4 * x);
    _mm256_storeu_si256(p, _mm256_and_si256(_mm256_loadu_si256(p), mask));
  }
  for (; x < width; ++x) row[4 * x + 3] = 0;
}
#endif

std::vector<PadClearer> Available() {
  std::vector<PadClearer> versions;
#if VITRINE_PAD_DISPATCH
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) versions.push_back({"AVX2", ClearAvx2});
#endif
  versions.push_back({"portable", ClearPortable});
  return versions;
}

}  // namespace

std::span<const PadClearer> PadClearers() {
  static const std::vector<PadClearer> versions = Available();
  return versions;
}

void ClearPadBytes(uint8_t* row, uint32_t width) {
  static const auto fastest = PadClearers().front().clear;
  fastest(row, width);
}

}  // namespace vitrine
