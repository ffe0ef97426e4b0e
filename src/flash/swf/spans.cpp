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
// (w + (w >> 8)) >> 8 with w = v + 128 is w * 257 >> 16: the high half of one product.
inline __m128i Div255x8(__m128i v) {
  return _mm_mulhi_epu16(_mm_add_epi16(v, _mm_set1_epi16(128)), _mm_set1_epi16(257));
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
// (w + (w >> 8)) >> 8 with w = v + 128 is w * 257 >> 16: the high half of one product.
__attribute__((target("avx2"))) inline __m256i Div255x16(__m256i v) {
  return _mm256_mulhi_epu16(_mm256_add_epi16(v, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
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

// Eight colours laid whole over eight pixels: at full coverage the colour counts as it is,
// so only the pixel is scaled, by 255 less the colour's alpha, and the colour added to it
// with the same clamp at 255 that Blend8's packing makes.
__attribute__((target("avx2"))) inline __m256i BlendWhole8(__m256i s, __m256i d) {
  const __m256i zero = _mm256_setzero_si256();
  // 255 - alpha of each pixel in all four of its bytes.
  const __m256i keep = _mm256_shuffle_epi8(_mm256_andnot_si256(s, _mm256_set1_epi32(-1)),
                                           _mm256_setr_epi8(3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15,
                                                            3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15));
  const __m256i lo = Div255x16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(keep, zero)));
  const __m256i hi = Div255x16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(keep, zero)));
  return _mm256_and_si256(_mm256_adds_epu8(_mm256_packus_epi16(lo, hi), s), _mm256_set1_epi32(0x00FFFFFF));
}

__attribute__((target("avx2"))) inline void Over8(uint32_t* row, __m256i s, const float* cov) {
  __m256i* out = reinterpret_cast<__m256i*>(row);
  if (!cov) {
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_or_si256(s, _mm256_set1_epi32(0x00FFFFFF)),
                                                _mm256_set1_epi32(-1))) == -1) {
      // Eight opaque colours laid whole: they are the pixels.
      _mm256_storeu_si256(out, _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF)));
      return;
    }
    _mm256_storeu_si256(out, BlendWhole8(s, _mm256_loadu_si256(out)));
    return;
  }
  __m256i kLo, kHi;
  CoverageLanes(_mm256_loadu_ps(cov), kLo, kHi);
  _mm256_storeu_si256(out, Blend8(s, _mm256_loadu_si256(out), kLo, kHi));
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

// A linear gradient's parts, from pixel first of the planned run on: the ends that stand
// still laid as one colour each, the ramp between them fetched from the table a piece at a time.
template <SpanOver over>
void LinearPadParts(uint32_t* row, const uint32_t* lut, const LinearPadRun& run, int32_t first, const float* cov,
                    int32_t count) {
  if (count <= 0) return;
  const int32_t begin = std::clamp(run.begin - first, 0, count);
  const int32_t end = std::clamp(run.end - first, begin, count);
  auto at = [&](int32_t i) { return cov ? cov + i : nullptr; };
  if (begin > 0) over(row, &lut[run.before], true, cov, begin);
  uint32_t src[kPiece];
  // The ramp's position where this part of it starts: the whole run's steps, made at once.
  int32_t position = int32_t(int64_t(run.position) + int64_t(run.step) * (first + begin - run.begin));
  for (int32_t done = begin; done < end; done += kPiece) {
    const int32_t n = std::min(kPiece, end - done);
    for (int32_t i = 0; i < n; ++i, position += run.step) src[i] = lut[position >> 16];
    over(row + done, src, false, at(done), n);
  }
  if (end < count) over(row + end, &lut[run.after], true, at(end), count - end);
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
  if (__builtin_cpu_supports("avx2")) versions.push_back({"AVX2", OverAvx2, LinearPadParts<OverAvx2>, RadialPadAvx2, FillAvx2});
#endif
#ifdef __SSE2__
  versions.push_back({"SSE2", OverSse2, LinearPadParts<OverSse2>, RadialPadPieces<OverSse2, true>, FillPlain});
#endif
  versions.push_back({"plain", OverPlain, LinearPadParts<OverPlain>, RadialPadPieces<OverPlain, false>, FillPlain});
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

LinearPadRun PlanLinearPad(double gx, double dgx, int32_t first, int32_t count) {
  LinearPadRun run;
  count = std::max(count, 0);
  // The entry's position plus a half, so that its whole part is the rounded entry.
  const double scale = 255.0 / 32768;
  const double u0 = (gx + dgx * first + 16384) * scale + 0.5, du = dgx * scale;
  if (!std::isfinite(u0) || !std::isfinite(du) || !std::isfinite(u0 + du * count)) {
    run.begin = run.end = count;  // no place on the square: the first entry throughout
    return run;
  }
  constexpr double kTop = 256;  // positions from here on take the last entry
  auto clampEntry = [](double u) { return u < 1 ? 0 : u >= 255 ? 255 : int32_t(u); };
  if (du == 0) {
    run.before = run.after = clampEntry(u0);
    run.begin = run.end = count;
    return run;
  }
  // Half away from zero, without the library call.
  auto fixed = [](double v) { return int64_t(v < 0 ? v - 0.5 : v + 0.5); };
  const double last = u0 + du * (count - 1);
  if (count > 0 && count < 65536 && std::min(u0, last) >= 1 && std::max(u0, last) < kTop - 1) {
    // The whole run on the square, as most are: a ramp from end to end. The fixed-point
    // positions stray from the exact ones by less than count / 65536 of an entry, so a
    // margin of one entry keeps them within the table.
    run.before = du > 0 ? 0 : 255;
    run.after = du > 0 ? 255 : 0;
    run.end = count;
    run.position = int32_t(fixed(u0 * 65536));
    run.step = int32_t(fixed(du * 65536));
    return run;
  }
  // The pixels whose positions lie within 0 .. kTop, from the sums in double precision.
  double lo = (0 - u0) / du, hi = (kTop - u0) / du;
  if (du < 0) std::swap(lo, hi);
  auto pixel = [&](double v) { return int32_t(std::clamp(std::ceil(v), 0.0, double(count))); };
  run.begin = pixel(lo);
  run.end = std::max(run.begin, pixel(hi));
  run.before = du > 0 ? 0 : 255;
  run.after = du > 0 ? 255 : 0;
  // The fixed-point steps, then the ends of the ramp trimmed to where they stay within the
  // table: a pixel beyond it on the side where the run starts joins the first part, one
  // beyond it on the other side the last.
  const int64_t step = fixed(std::clamp(du * 65536, -1073741824.0, 1073741824.0));
  int64_t position = fixed((u0 + du * run.begin) * 65536);
  constexpr int64_t kEnd = int64_t(256) << 16;
  auto startSide = [&](int64_t f) { return du > 0 ? f < 0 : f >= kEnd; };
  auto endSide = [&](int64_t f) { return du > 0 ? f >= kEnd : f < 0; };
  while (run.begin < run.end && startSide(position)) {
    ++run.begin;
    position += step;
  }
  while (run.end > run.begin && endSide(position + step * (run.end - 1 - run.begin))) --run.end;
  run.position = int32_t(position);
  run.step = int32_t(step);
  return run;
}

void LinearPadIndices(double gx, double dgx, int32_t first, int32_t count, int32_t* out) {
  const LinearPadRun run = PlanLinearPad(gx, dgx, first, count);
  for (int32_t i = 0; i < count; ++i) out[i] = run.Entry(i);
}

}  // namespace vitrine::swf
