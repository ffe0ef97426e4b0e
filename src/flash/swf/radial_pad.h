#pragma once
// The table entries of a pad-spread radial gradient along a run of pixels: the renderer's
// costliest common sum, worked out four pixels at a time where the processor can.
#include <cmath>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vitrine::swf {

// The pad-spread radial gradient along a run: pixel i of it lies at (x + dx i, y + dy i) in
// units of the gradient's radius, and takes entry 255 |p| + 0.5 of the table, at most 255.
struct RadialPad {
  float x, y, dx, dy;

  int32_t Index(int32_t i) const {
    float px = x + dx * float(i), py = y + dy * float(i);
    float t = std::sqrt(px * px + py * py) * 255.0f + 0.5f;
    return t < 255.0f ? int32_t(t) : 255;
  }
  // Entries of pixels first .. first+n-1; the same numbers as Index, rounded alike.
  void Indices(int32_t first, int32_t n, int32_t* out) const {
    int32_t i = 0;
#ifdef __SSE2__
    const __m128 vx = _mm_set1_ps(x), vy = _mm_set1_ps(y), vdx = _mm_set1_ps(dx), vdy = _mm_set1_ps(dy);
    const __m128 scale = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
    for (; i + 4 <= n; i += 4) {
      const int32_t k = first + i;
      const __m128 fi = _mm_cvtepi32_ps(_mm_setr_epi32(k, k + 1, k + 2, k + 3));
      const __m128 px = _mm_add_ps(vx, _mm_mul_ps(vdx, fi)), py = _mm_add_ps(vy, _mm_mul_ps(vdy, fi));
      const __m128 r = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(px, px), _mm_mul_ps(py, py)));
      // min(t, 255) keeps 255 where t is 255 or more, or not a number, as Index does.
      const __m128 t = _mm_min_ps(_mm_add_ps(_mm_mul_ps(r, scale), half), scale);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_cvttps_epi32(t));
    }
#endif
    for (; i < n; ++i) out[i] = Index(first + i);
  }
};

}  // namespace vitrine::swf
