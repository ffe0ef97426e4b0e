#include "raster/scale_bilinear.h"

#include <algorithm>

#include "raster/blend.h"
#include "raster/canvas.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vitrine {
namespace {

// (a * (256 - f) + b * f + 128) >> 8 for each channel, two channels per word; f is 0..256.
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
  const uint32_t g = 256 - f;
  const uint32_t rb = ((a & 0xFF00FFu) * g + (b & 0xFF00FFu) * f + 0x800080u) >> 8 & 0xFF00FFu;
  const uint32_t ag = (((a >> 8) & 0xFF00FFu) * g + ((b >> 8) & 0xFF00FFu) * f + 0x800080u) & 0xFF00FF00u;
  return rb | ag;
}

// 8-bit channel to 1/256 of a 5-bit (31 * 256 / 255 per unit, in 8.8) or 6-bit level.
constexpr uint32_t kTo5 = 7967, kTo6 = 16191;

inline uint16_t Dithered565(uint32_t p, int32_t x, int32_t y) {
  const int32_t t = DitherThreshold(x, y);
  const uint32_t r = DitherLevel((((p >> 16) & 255u) * kTo5) >> 8, t);
  const uint32_t g = DitherLevel((((p >> 8) & 255u) * kTo6) >> 8, t);
  const uint32_t b = DitherLevel(((p & 255u) * kTo5) >> 8, t);
  return uint16_t(r << 11 | g << 5 | b);
}

// The source position of target pixel i's centre, in 16.16, clamped to the picture: index and
// weight towards the next pixel.
inline void Sample(int64_t start, int64_t span, int32_t count, int32_t i, int32_t limit, int32_t& index,
                   uint32_t& weight) {
  int64_t s = start + (span * (2 * int64_t(i) + 1)) / (2 * int64_t(count)) - kFixedOne / 2;
  s = std::clamp<int64_t>(s, 0, int64_t(limit - 1) * kFixedOne);
  index = int32_t(s >> 16);
  weight = uint32_t((s >> 8) & 255);
  if (index >= limit - 1) weight = 0;
}

// One row: the columns of r0 and r1 weighted by fy (0..256) towards r1, then by the column
// weights. Every column reads pixels c and c + 1, both inside the row.
void ScaleRow(uint32_t* out, const uint32_t* r0, const uint32_t* r1, uint32_t fy, const int32_t* columns,
              const uint16_t* weights, int32_t count) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
  const __m128i wy1 = _mm_set1_epi16(int16_t(fy)), wy0 = _mm_set1_epi16(int16_t(256 - fy));
  // Pixels c and c + 1 of both rows, weighted by the rows: eight 16-bit lanes, c's channels first.
  auto vertical = [&](int32_t c) {
    const __m128i t = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0 + c)), zero);
    const __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r1 + c)), zero);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(t, wy0), _mm_mullo_epi16(b, wy1)), half), 8);
  };
  auto columnWeights = [&](int32_t k) {
    const int16_t w1 = int16_t(weights[k]), w0 = int16_t(256 - weights[k]);
    return _mm_set_epi16(w1, w1, w1, w1, w0, w0, w0, w0);
  };
  for (; i + 2 <= count; i += 2) {
    const __m128i a = _mm_mullo_epi16(vertical(columns[i]), columnWeights(i));
    const __m128i b = _mm_mullo_epi16(vertical(columns[i + 1]), columnWeights(i + 1));
    __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
    sum = _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sum, zero));
  }
#endif
  for (; i < count; ++i) {
    const int32_t c = columns[i];
    const uint32_t fx = weights[i];
    const uint32_t top = Lerp(r0[c], r0[c + 1], fx), bottom = Lerp(r1[c], r1[c + 1], fx);
    out[i] = Lerp(top, bottom, fy);
  }
}

}  // namespace

void BilinearScaler::Draw(Bitmap& dest, const Rect& target, const Bitmap& picture, const FixedRect& source) {
  if (picture.Empty() || picture.Format() != PixelFormat::Xrgb8888) return;
  const int32_t tw = target.right - target.left, th = target.bottom - target.top;
  const Rect visible = target.Intersect(dest.Bounds());
  if (tw <= 0 || th <= 0 || visible.Empty()) return;
  // A picture one pixel wide or high is read as two equal ones, so every sample has a neighbour.
  if (picture.Width() < 2 || picture.Height() < 2) {
    Bitmap wider(std::max(picture.Width(), 2), std::max(picture.Height(), 2), PixelFormat::Xrgb8888);
    for (int32_t y = 0; y < wider.Height(); ++y)
      for (int32_t x = 0; x < wider.Width(); ++x)
        wider.SetRawPixel(x, y, picture.RawPixel(std::min(x, picture.Width() - 1), std::min(y, picture.Height() - 1)));
    const int64_t kx = wider.Width() / picture.Width(), ky = wider.Height() / picture.Height();
    Draw(dest, target, wider, {source.left * kx, source.top * ky, source.width * kx, source.height * ky});
    return;
  }
  const int32_t pw = picture.Width(), ph = picture.Height();

  const int32_t vw = visible.right - visible.left;
  columns_.resize(size_t(vw));
  weights_.resize(size_t(vw));
  row_.resize(size_t(vw));
  for (int32_t i = 0; i < vw; ++i) {
    int32_t c;
    uint32_t w;
    Sample(source.left, source.width, tw, visible.left - target.left + i, pw, c, w);
    if (c >= pw - 1) {  // the last column: read as the full weight of the next from its left neighbour
      c = pw - 2;
      w = 256;
    }
    columns_[size_t(i)] = c;
    weights_[size_t(i)] = uint16_t(w);
  }
  const bool wide = dest.Format() == PixelFormat::Xrgb8888;
  for (int32_t y = visible.top; y < visible.bottom; ++y) {
    int32_t sy;
    uint32_t fy;
    Sample(source.top, source.height, th, y - target.top, ph, sy, fy);
    if (sy >= ph - 1) {
      sy = ph - 2;
      fy = 256;
    }
    const uint32_t* r0 = reinterpret_cast<const uint32_t*>(picture.Row(sy));
    const uint32_t* r1 = reinterpret_cast<const uint32_t*>(picture.Row(sy + 1));
    if (wide) {
      ScaleRow(reinterpret_cast<uint32_t*>(dest.Row(y)) + visible.left, r0, r1, fy, columns_.data(), weights_.data(), vw);
      continue;
    }
    ScaleRow(row_.data(), r0, r1, fy, columns_.data(), weights_.data(), vw);
    uint16_t* out16 = reinterpret_cast<uint16_t*>(dest.Row(y)) + visible.left;
    for (int32_t i = 0; i < vw; ++i) out16[i] = Dithered565(row_[size_t(i)], visible.left + i, y);
  }
}

Bitmap ReduceForScaling(const Bitmap& picture, int32_t width, int32_t height) {
  Bitmap current(picture.Width(), picture.Height(), PixelFormat::Xrgb8888);
  Canvas(current).Draw(0, 0, picture);
  while (current.Width() >= 2 * std::max(width, 1) && current.Height() >= 2 * std::max(height, 1)) {
    const int32_t w = current.Width() / 2, h = current.Height() / 2;
    Bitmap half(w, h, PixelFormat::Xrgb8888);
    for (int32_t y = 0; y < h; ++y) {
      const uint32_t* a = reinterpret_cast<const uint32_t*>(current.Row(2 * y));
      const uint32_t* b = reinterpret_cast<const uint32_t*>(current.Row(2 * y + 1));
      uint32_t* out = reinterpret_cast<uint32_t*>(half.Row(y));
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p[4] = {a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]};
        uint32_t rb = 0, g = 0;
        for (uint32_t q : p) {
          rb += q & 0xFF00FFu;
          g += q & 0x00FF00u;
        }
        out[x] = ((rb + 0x020002u) >> 2 & 0xFF00FFu) | ((g + 0x000200u) >> 2 & 0x00FF00u);
      }
    }
    current = std::move(half);
  }
  return current;
}

}  // namespace vitrine
