#include "flash/swf/spans.h"

#include <algorithm>
#include <cmath>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
// MinGW's GCC cannot align the stack for 32-byte vectors, so there SSE2 is the widest.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__MINGW32__)
#define VITRINE_SPAN_DISPATCH 1
#include <immintrin.h>
#endif

namespace vitrine::swf {
namespace {

void OverPlain(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t s = src[oneColour ? 0 : i];
    uint32_t k = cov ? CoverageByte(cov[i]) : 255;
    row[i] = Over(s, k, row[i]);
  }
}

#ifdef __SSE2__
// Div255 in each 16-bit lane (v <= 255 * 255, so nothing carries out of a lane).
inline __m128i Div255x8(__m128i v) {
  v = _mm_add_epi16(v, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

// Two pixels widened to 16 bits a channel, their coverages k (each repeated in its pixel's
// four lanes): Over for both.
inline __m128i Over2(__m128i s, __m128i d, __m128i k) {
  __m128i sk = Div255x8(_mm_mullo_epi16(s, k));
  __m128i sa = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sk, 0xFF), 0xFF);
  __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), sa);
  return _mm_add_epi16(sk, Div255x8(_mm_mullo_epi16(d, keep)));
}

void OverSse2(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov, int32_t count) {
  if (count <= 0) return;
  const __m128i zero = _mm_setzero_si128(), rgb = _mm_set1_epi32(0x00FFFFFF);
  const __m128 scale = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
  const __m128i one = _mm_set1_epi32(int32_t(src[0]));
  __m128i k = _mm_set1_epi16(255);
  __m128i kLo = k, kHi = k;
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i s = oneColour ? one : _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    if (cov) {
      k = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_loadu_ps(cov + i), scale), half));
      k = _mm_or_si128(k, _mm_slli_epi32(k, 16));
      kLo = _mm_unpacklo_epi32(k, k);
      kHi = _mm_unpackhi_epi32(k, k);
    }
    __m128i lo = Over2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), kLo);
    __m128i hi = Over2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), kHi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_and_si128(_mm_packus_epi16(lo, hi), rgb));
  }
  OverPlain(row + i, oneColour ? src : src + i, oneColour, cov ? cov + i : nullptr, count - i);
}
#endif

#if VITRINE_SPAN_DISPATCH
__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i v) {
  v = _mm256_add_epi16(v, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(v, _mm256_srli_epi16(v, 8)), 8);
}

__attribute__((target("avx2"))) inline __m256i Over4(__m256i s, __m256i d, __m256i k) {
  __m256i sk = Div255x16(_mm256_mullo_epi16(s, k));
  __m256i sa = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sk, 0xFF), 0xFF);
  __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(255), sa);
  return _mm256_add_epi16(sk, Div255x16(_mm256_mullo_epi16(d, keep)));
}

// Eight pixels' coverages as the 16-bit lanes Over4 takes, lo for the pixels the unpacking
// puts in the low halves (0, 1, 4, 5) and hi for the rest.
__attribute__((target("avx2"))) inline void CoverageLanes(__m256 cov, __m256i& lo, __m256i& hi) {
  __m256i k = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(cov, _mm256_set1_ps(255.0f)), _mm256_set1_ps(0.5f)));
  k = _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
  lo = _mm256_unpacklo_epi32(k, k);
  hi = _mm256_unpackhi_epi32(k, k);
}

// Eight colours over eight pixels; the unpacking works within each 128-bit half and the
// packing puts the halves back in the same order.
__attribute__((target("avx2"))) inline __m256i Blend8(__m256i s, __m256i d, __m256i kLo, __m256i kHi) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i lo = Over4(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), kLo);
  __m256i hi = Over4(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), kHi);
  return _mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0x00FFFFFF));
}

__attribute__((target("avx2"))) inline void Over8(uint32_t* row, __m256i s, const float* cov) {
  __m256i kLo = _mm256_set1_epi16(255), kHi = kLo;
  if (cov) {
    CoverageLanes(_mm256_loadu_ps(cov), kLo, kHi);
  } else if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_or_si256(s, _mm256_set1_epi32(0x00FFFFFF)),
                                                     _mm256_set1_epi32(-1))) == -1) {
    // Eight opaque colours laid whole: they are the pixels.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF)));
    return;
  }
  __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), Blend8(s, d, kLo, kHi));
}

// The lanes of the first n (0 to 8) pixels.
__attribute__((target("avx2"))) inline __m256i FirstLanes(int32_t n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// The last n (fewer than eight) of a run: masked loads and stores touch nothing beyond it.
__attribute__((target("avx2"))) inline void Over8Tail(uint32_t* row, __m256i s, const float* cov, int32_t n) {
  const __m256i lanes = FirstLanes(n);
  __m256i kLo = _mm256_set1_epi16(255), kHi = kLo;
  if (cov) CoverageLanes(_mm256_maskload_ps(cov, lanes), kLo, kHi);
  __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(row), lanes);
  _mm256_maskstore_epi32(reinterpret_cast<int*>(row), lanes, Blend8(s, d, kLo, kHi));
}

__attribute__((target("avx2"))) void OverAvx2(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov,
                                               int32_t count) {
  if (count <= 0) return;
  const __m256i one = _mm256_set1_epi32(int32_t(src[0]));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8)
    Over8(row + i, oneColour ? one : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)),
          cov ? cov + i : nullptr);
  if (i == count) return;
  __m256i s = oneColour ? one : _mm256_maskload_epi32(reinterpret_cast<const int*>(src + i), FirstLanes(count - i));
  Over8Tail(row + i, s, cov ? cov + i : nullptr, count - i);
}
#endif

// The gradients in pieces: table entries first, then colours, then laid down.
constexpr int32_t kPiece = 64;

// indices(at, n, index) fills the table entries of pixels at .. at + n - 1.
template <SpanOver over, typename Indices>
void PadPieces(uint32_t* row, const uint32_t* lut, int32_t first, const float* cov, int32_t count, Indices indices) {
  int32_t index[kPiece];
  uint32_t src[kPiece];
  for (int32_t done = 0; done < count; done += kPiece) {
    const int32_t n = std::min(kPiece, count - done);
    indices(first + done, n, index);
    for (int32_t i = 0; i < n; ++i) src[i] = lut[index[i]];
    over(row + done, src, false, cov ? cov + done : nullptr, n);
  }
}

template <SpanOver over, bool wide>
void LinearPadPieces(uint32_t* row, const uint32_t* lut, double gx, double dgx, int32_t first, const float* cov,
                     int32_t count) {
  PadPieces<over>(row, lut, first, cov, count, [&](int32_t at, int32_t n, int32_t* index) {
    if (wide) {
      LinearPadIndices(gx, dgx, at, n, index);
    } else {
      for (int32_t i = 0; i < n; ++i) index[i] = LinearPadIndex(gx, dgx, at + i);
    }
  });
}

template <SpanOver over, bool wide>
void RadialPadPieces(uint32_t* row, const uint32_t* lut, const RadialPad& radial, int32_t first, const float* cov,
                     int32_t count) {
  PadPieces<over>(row, lut, first, cov, count, [&](int32_t at, int32_t n, int32_t* index) {
    if (wide) {
      radial.Indices(at, n, index);
    } else {
      for (int32_t i = 0; i < n; ++i) index[i] = radial.Index(at + i);
    }
  });
}

#if VITRINE_SPAN_DISPATCH
// Table entries eight pixels at a time, a piece of the run at once; the colours are then
// looked up one by one (quicker than the processor's gathering loads) and laid down eight
// at a time. index(at) gives the entries of pixels at .. at+7 of the run.
template <typename Index>
__attribute__((target("avx2"), always_inline)) inline void PadPiecesAvx2(uint32_t* row, const uint32_t* lut,
                                                                         const float* cov, int32_t count,
                                                                         Index index) {
  alignas(32) int32_t entries[kPiece];
  alignas(32) uint32_t src[kPiece];
  for (int32_t done = 0; done < count; done += kPiece) {
    const int32_t n = std::min(kPiece, count - done);
    // Entries past the run's end are worked out too (always within the table) and left unused.
    for (int32_t i = 0; i < n; i += 8)
      _mm256_store_si256(reinterpret_cast<__m256i*>(entries + i), index(done + i));
    for (int32_t i = 0; i < n; ++i) src[i] = lut[entries[i]];
    int32_t i = 0;
    for (; i + 8 <= n; i += 8)
      Over8(row + done + i, _mm256_load_si256(reinterpret_cast<const __m256i*>(src + i)),
            cov ? cov + done + i : nullptr);
    if (i < n)
      Over8Tail(row + done + i, _mm256_load_si256(reinterpret_cast<const __m256i*>(src + i)),
                cov ? cov + done + i : nullptr, n - i);
  }
}

__attribute__((target("avx2"))) void LinearPadAvx2(uint32_t* row, const uint32_t* lut, double gx, double dgx,
                                                    int32_t first, const float* cov, int32_t count) {
  if (std::fabs(gx) < 1e280 && std::fabs(dgx) < 1e280) {
    const __m256d start = _mm256_set1_pd(gx), step = _mm256_set1_pd(dgx), half = _mm256_set1_pd(16384.0);
    // Dividing by 32768 and multiplying by 1 / 32768, a power of two, round alike.
    const __m256d across = _mm256_set1_pd(1.0 / 32768), zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
    const __m256d scale = _mm256_set1_pd(255.0), round = _mm256_set1_pd(0.5);
    const __m256d lanes = _mm256_setr_pd(0, 1, 2, 3);
    PadPiecesAvx2(row, lut, cov, count, [&](int32_t at) __attribute__((target("avx2"))) {
      __m256d p0 = _mm256_add_pd(_mm256_set1_pd(double(first + at)), lanes);
      __m256d p1 = _mm256_add_pd(_mm256_set1_pd(double(first + at + 4)), lanes);
      __m256d t0 = _mm256_mul_pd(_mm256_add_pd(_mm256_add_pd(start, _mm256_mul_pd(step, p0)), half), across);
      __m256d t1 = _mm256_mul_pd(_mm256_add_pd(_mm256_add_pd(start, _mm256_mul_pd(step, p1)), half), across);
      t0 = _mm256_add_pd(_mm256_mul_pd(_mm256_min_pd(_mm256_max_pd(t0, zero), one), scale), round);
      t1 = _mm256_add_pd(_mm256_mul_pd(_mm256_min_pd(_mm256_max_pd(t1, zero), one), scale), round);
      return _mm256_set_m128i(_mm256_cvttpd_epi32(t1), _mm256_cvttpd_epi32(t0));
    });
    return;
  }
  LinearPadPieces<OverSse2, true>(row, lut, gx, dgx, first, cov, count);
}

__attribute__((target("avx2"))) void RadialPadAvx2(uint32_t* row, const uint32_t* lut, const RadialPad& radial,
                                                    int32_t first, const float* cov, int32_t count) {
  const __m256 vx = _mm256_set1_ps(radial.x), vy = _mm256_set1_ps(radial.y);
  const __m256 vdx = _mm256_set1_ps(radial.dx), vdy = _mm256_set1_ps(radial.dy);
  const __m256 scale = _mm256_set1_ps(255.0f), half = _mm256_set1_ps(0.5f);
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  PadPiecesAvx2(row, lut, cov, count, [&](int32_t at) __attribute__((target("avx2"))) {
    const __m256 fi = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_set1_epi32(first + at), lanes));
    const __m256 px = _mm256_add_ps(vx, _mm256_mul_ps(vdx, fi)), py = _mm256_add_ps(vy, _mm256_mul_ps(vdy, fi));
    const __m256 r = _mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(px, px), _mm256_mul_ps(py, py)));
    // min(t, 255) keeps 255 where t is 255 or more, or not a number, as Index does.
    const __m256 t = _mm256_min_ps(_mm256_add_ps(_mm256_mul_ps(r, scale), half), scale);
    return _mm256_cvttps_epi32(t);
  });
}
#endif

void FillPlain(uint32_t* row, uint32_t colour, int32_t count) {
  if (count > 0) std::fill(row, row + count, colour);
}

#if VITRINE_SPAN_DISPATCH
__attribute__((target("avx2"))) void FillAvx2(uint32_t* row, uint32_t colour, int32_t count) {
  const __m256i c = _mm256_set1_epi32(int32_t(colour));
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), c);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i + 8), c);
  }
  if (i + 8 <= count) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), c);
    i += 8;
  }
  if (i < count) _mm256_maskstore_epi32(reinterpret_cast<int*>(row + i), FirstLanes(count - i), c);
}
#endif

std::vector<SpanCompositor> Available() {
  std::vector<SpanCompositor> versions;
#if VITRINE_SPAN_DISPATCH
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) versions.push_back({"AVX2", OverAvx2, LinearPadAvx2, RadialPadAvx2, FillAvx2});
#endif
#ifdef __SSE2__
  versions.push_back({"SSE2", OverSse2, LinearPadPieces<OverSse2, true>, RadialPadPieces<OverSse2, true>, FillPlain});
#endif
  versions.push_back({"plain", OverPlain, LinearPadPieces<OverPlain, false>, RadialPadPieces<OverPlain, false>, FillPlain});
  return versions;
}

}  // namespace

std::span<const SpanCompositor> SpanCompositors() {
  static const std::vector<SpanCompositor> versions = Available();
  return versions;
}

const SpanCompositor& FastestSpans() {
  static const SpanCompositor fastest = SpanCompositors().front();
  return fastest;
}

void LinearPadIndices(double gx, double dgx, int32_t first, int32_t count, int32_t* out) {
  int32_t i = 0;
#ifdef __SSE2__
  // Two at a time with the same sums; while every position is finite (bounded well below the
  // largest double), max and min clamp as std::clamp does.
  if (std::fabs(gx) < 1e280 && std::fabs(dgx) < 1e280) {
    const __m128d start = _mm_set1_pd(gx), step = _mm_set1_pd(dgx), half = _mm_set1_pd(16384.0);
    // Dividing by 32768 and multiplying by 1 / 32768, a power of two, round alike.
    const __m128d across = _mm_set1_pd(1.0 / 32768), zero = _mm_setzero_pd(), one = _mm_set1_pd(1.0);
    const __m128d scale = _mm_set1_pd(255.0), round = _mm_set1_pd(0.5);
    __m128d at = _mm_set_pd(first + 1.0, first);
    const __m128d two = _mm_set1_pd(2.0);
    for (; i + 4 <= count; i += 4) {
      __m128d t0 = _mm_mul_pd(_mm_add_pd(_mm_add_pd(start, _mm_mul_pd(step, at)), half), across);
      at = _mm_add_pd(at, two);
      __m128d t1 = _mm_mul_pd(_mm_add_pd(_mm_add_pd(start, _mm_mul_pd(step, at)), half), across);
      at = _mm_add_pd(at, two);
      t0 = _mm_add_pd(_mm_mul_pd(_mm_min_pd(_mm_max_pd(t0, zero), one), scale), round);
      t1 = _mm_add_pd(_mm_mul_pd(_mm_min_pd(_mm_max_pd(t1, zero), one), scale), round);
      __m128i lo = _mm_cvttpd_epi32(t0), hi = _mm_cvttpd_epi32(t1);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi64(lo, hi));
    }
  }
#endif
  for (; i < count; ++i) out[i] = LinearPadIndex(gx, dgx, first + i);
}

}  // namespace vitrine::swf
