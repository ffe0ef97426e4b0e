#include "raster/blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vitrine {
namespace {

// 32 bits: every channel (a * (256 - w) + b * w + 128) >> 8, which gives a at weight 0 and b
// at kBlendOne exactly.
void BlendRow32(uint32_t* out, const uint32_t* a, const uint32_t* b, int32_t count, int32_t weight) {
  const uint32_t wb = uint32_t(weight), wa = uint32_t(kBlendOne - weight);
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i va = _mm_set1_epi16(int16_t(wa)), vb = _mm_set1_epi16(int16_t(wb));
  const __m128i half = _mm_set1_epi16(128);
  for (; i + 4 <= count; i += 4) {
    const __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(pa, zero), va),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(pb, zero), vb));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(pa, zero), va),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(pb, zero), vb));
    lo = _mm_srli_epi16(_mm_add_epi16(lo, half), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, half), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < count; ++i) {
    const uint32_t pa = a[i], pb = b[i];
    // Two channels at a time: red and blue in one word, green (and the unused byte) in another.
    const uint32_t rb = ((pa & 0xFF00FFu) * wa + (pb & 0xFF00FFu) * wb + 0x800080u) >> 8 & 0xFF00FFu;
    const uint32_t g = (((pa >> 8) & 0xFF00FFu) * wa + ((pb >> 8) & 0xFF00FFu) * wb + 0x800080u) & 0xFF00FF00u;
    out[i] = rb | g;
  }
}

// 16 bits: each channel blended in 1/256 of its 5 or 6-bit levels, then dithered down.
void BlendRow16(uint16_t* out, const uint16_t* a, const uint16_t* b, int32_t count, int32_t weight, int32_t dx,
                int32_t dy) {
  const uint32_t wb = uint32_t(weight), wa = uint32_t(kBlendOne - weight);
  int32_t i = 0;
#if defined(__SSE2__)
  // Eight pixels at a time: each channel's levels in 16-bit lanes (at most 63 * 256), the
  // dither thresholds of the row's columns as one vector.
  alignas(16) int16_t thresholds[8];
  for (int k = 0; k < 8; ++k) thresholds[k] = int16_t(DitherThreshold(dx + k, dy) * 16 + 8);
  const __m128i thr = _mm_load_si128(reinterpret_cast<const __m128i*>(thresholds));
  const __m128i va = _mm_set1_epi16(int16_t(wa)), vb = _mm_set1_epi16(int16_t(wb));
  const __m128i low8 = _mm_set1_epi16(255), m6 = _mm_set1_epi16(63), m5 = _mm_set1_epi16(31);
  auto level = [&](__m128i la, __m128i lb) {
    const __m128i v = _mm_add_epi16(_mm_mullo_epi16(la, va), _mm_mullo_epi16(lb, vb));
    const __m128i up = _mm_cmpgt_epi16(_mm_and_si128(v, low8), thr);  // -1 where it rounds up
    return _mm_sub_epi16(_mm_srli_epi16(v, 8), up);
  };
  for (; i + 8 <= count; i += 8) {
    const __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    const __m128i r = level(_mm_srli_epi16(pa, 11), _mm_srli_epi16(pb, 11));
    const __m128i g = level(_mm_and_si128(_mm_srli_epi16(pa, 5), m6), _mm_and_si128(_mm_srli_epi16(pb, 5), m6));
    const __m128i bl = level(_mm_and_si128(pa, m5), _mm_and_si128(pb, m5));
    const __m128i out16 = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 11), _mm_slli_epi16(g, 5)), bl);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), out16);
  }
#endif
  for (; i < count; ++i) {
    const uint32_t pa = a[i], pb = b[i];
    if (pa == pb) {
      out[i] = uint16_t(pa);
      continue;
    }
    const int32_t t = DitherThreshold(dx + i, dy);
    const uint32_t r = DitherLevel((pa >> 11) * wa + (pb >> 11) * wb, t);
    const uint32_t g = DitherLevel(((pa >> 5) & 63u) * wa + ((pb >> 5) & 63u) * wb, t);
    const uint32_t bl = DitherLevel((pa & 31u) * wa + (pb & 31u) * wb, t);
    out[i] = uint16_t(r << 11 | g << 5 | bl);
  }
}

}  // namespace

void BlendRow(Bitmap& dest, int32_t destX, int32_t destY, const Bitmap& from, const Bitmap& to, int32_t x, int32_t y,
              int32_t count, int32_t weight) {
  if (count <= 0) return;
  weight = weight < 0 ? 0 : weight > kBlendOne ? kBlendOne : weight;
  if (dest.Format() == PixelFormat::Xrgb8888) {
    BlendRow32(reinterpret_cast<uint32_t*>(dest.Row(destY)) + destX, reinterpret_cast<const uint32_t*>(from.Row(y)) + x,
               reinterpret_cast<const uint32_t*>(to.Row(y)) + x, count, weight);
  } else {
    BlendRow16(reinterpret_cast<uint16_t*>(dest.Row(destY)) + destX, reinterpret_cast<const uint16_t*>(from.Row(y)) + x,
               reinterpret_cast<const uint16_t*>(to.Row(y)) + x, count, weight, destX, destY);
  }
}

void BlendRect(Bitmap& dest, int32_t destX, int32_t destY, const Bitmap& from, const Bitmap& to, const Rect& r,
               int32_t weight) {
  for (int32_t y = r.top; y < r.bottom; ++y)
    BlendRow(dest, destX, destY + (y - r.top), from, to, r.left, y, r.right - r.left, weight);
}

}  // namespace vitrine
