#pragma once
// Anti-aliased polygon coverage by signed area: every line adds, for each pixel it passes,
// the area it closes off to its right; a running sum along a row then gives each pixel's
// exact coverage (one value per pixel, no samples). Coverage is the absolute winding area
// clamped to 1, so outlines of one orientation unite and a closed fill path fills; or, by the
// even-odd rule, the winding area folded so that every second winding is outside.
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vitrine::swf {

struct PixelBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool Empty() const { return right <= left || bottom <= top; }
};

class Rasterizer {
 public:
  // Starts a new outline whose coverage is wanted inside box (already clipped to the surface).
  void Begin(const PixelBox& box, bool evenOdd = false);
  const PixelBox& Box() const { return box_; }
  // Rows and pixels gone through since the counter was last reset: the measure of a frame's
  // cost that the renderer keeps within its budget.
  uint64_t Work() const { return work_; }
  void ResetWork() { work_ = 0; }

  void Line(double x0, double y0, double x1, double y1);
  // A quadratic curve, flattened into lines that stay within 1/4 pixel of it.
  void Quad(double x0, double y0, double cx, double cy, double x1, double y1);

  // Calls span(y, x, count, coverage) for the runs of a row that edges pass through, the
  // coverage array holding count values in 0..1 for pixels x .. x+count-1 of row y, and
  // fill(y, x, count, c) for the runs between them, where coverage stands at c throughout.
  //
  // ahead(y, x0, x1) is told, a few rows before the sweep gets there, the pixels x0 .. x1 of
  // row y that edges pass through, so that the caller can fetch what it will draw there.
  //
  // A span takes in up to join cells that no edge passes through between two that one does
  // (at the coverage that stands there), where one call costs the caller less than a span,
  // a fill and a span: the inside of a thin stroke, say. Their coverage may then be 0.
  template <class Span, class Fill, class Ahead>
  void Sweep(Span&& span, Fill&& fill, Ahead&& ahead, int32_t join = 0) {
    constexpr int32_t kRowsAhead = 4;
    const bool evenOdd = evenOdd_;
    int32_t w = box_.right - box_.left;
    for (int32_t row = rowMin_; row <= rowMax_; ++row) {
      if (row + kRowsAhead <= rowMax_) {
        const Touched& next = touched_[size_t(row + kRowsAhead)];
        if (next.lo <= next.hi)
          ahead(box_.top + row + kRowsAhead, box_.left + next.lo, box_.left + std::min(next.hi, w - 1));
      }
      Touched& t = touched_[size_t(row)];
      const int32_t lo = t.lo, hi = t.hi;
      if (lo > hi) continue;
      work_ += uint64_t(w - lo);
      float* a = acc_.data() + size_t(row) * stride_;
      float* cov = cov_.data();
      float sum = 0;
      int32_t end = std::min(hi + 1, w);
      int32_t y = box_.top + row;
      // Cells from x to to: runs of edges as spans, the cells between them as fills.
      auto cells = [&](int32_t x, int32_t to) {
        while (x < to) {
          int32_t start = x;
          if (a[x] != 0) {
            for (;;) {
              // The running sum in a local of its own: stores through a and cov could
              // otherwise be taken to change it, and it would live in memory.
              float s = sum;
              while (x < to && a[x] != 0) {
                s += a[x];
                a[x] = 0;
                cov[x] = Cover(s, evenOdd);
                ++x;
              }
              sum = s;
              const int32_t limit = std::min(to, x + join + 1);
              const int32_t next = join > 0 && x < to ? SkipZeros(a, x, limit) : limit;
              if (next >= limit) break;
              const float c = Cover(sum, evenOdd);
              for (; x < next; ++x) cov[x] = c;
            }
            span(y, box_.left + start, x - start, cov + start);
          } else {
            x = SkipZeros(a, x, to);
            float c = Cover(sum, evenOdd);
            if (c > 1e-4f) fill(y, box_.left + start, x - start, c);
          }
        }
      };
      // Between a shape's edges no cell was touched: that stretch is filled unread.
      const int32_t gapLo = t.gapLo, gapHi = std::min(t.gapHi, end - 1);
      if (gapLo > lo && gapLo <= gapHi) {
        cells(lo, gapLo);
        float c = Cover(sum, evenOdd);
        if (c > 1e-4f) fill(y, box_.left + gapLo, gapHi + 1 - gapLo, c);
        cells(gapHi + 1, end);
      } else {
        cells(lo, end);
      }
      for (int32_t k = end; k <= hi + 1 && k < int32_t(stride_); ++k) a[k] = 0;
      // An outline left open keeps its last winding to the row's end.
      float rest = Cover(sum, evenOdd);
      if (rest > 1e-4f && end < w) fill(y, box_.left + end, w - end, rest);
      t = Touched{};
    }
    rowMin_ = INT32_MAX;
    rowMax_ = INT32_MIN;
  }
  template <class Span, class Fill>
  void Sweep(Span&& span, Fill&& fill) {
    Sweep(span, fill, [](int32_t, int32_t, int32_t) {});
  }
  // The same with every run as a coverage array.
  template <class Span>
  void Sweep(Span&& span) {
    Sweep(span, [&](int32_t y, int32_t x, int32_t count, float c) {
      if (constant_.size() < size_t(count)) constant_.resize(count);
      std::fill(constant_.begin(), constant_.begin() + count, c);
      span(y, x, count, constant_.data());
    });
  }

 private:
  static float Cover(float sum, bool evenOdd) {
    float c = std::fabs(sum);
    if (evenOdd) {
      c -= 2 * std::floor(c * 0.5f);
      return c > 1 ? 2 - c : c;
    }
    return c > 1 ? 1 : c;
  }
  // The first x in [x, end) whose cell is not zero (or end), a cell being zero when its bits
  // are those of +0 or -0.
  static int32_t SkipZeros(const float* a, int32_t x, int32_t end) {
#ifdef __SSE2__
    // Sixteen cells a step while all are zero: their bits OR'd together, signs dropped; then
    // four a step, the first cell that is not zero found from the lanes' mask.
    const __m128i magnitudes = _mm_set1_epi32(0x7FFFFFFF), zero = _mm_setzero_si128();
    while (x + 16 <= end) {
      const __m128i* p = reinterpret_cast<const __m128i*>(a + x);
      __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                 _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, magnitudes), zero)) != 0xFFFF) break;
      x += 16;
    }
    while (x + 4 <= end) {
      __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)), magnitudes);
      int zeros = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, zero)));
      if (zeros != 0xF) return x + __builtin_ctz(unsigned(~zeros));
      x += 4;
    }
#else
    constexpr uint64_t kMagnitudes = 0x7FFFFFFF7FFFFFFFull;
    while (x + 2 <= end) {
      uint64_t two;
      std::memcpy(&two, a + x, sizeof two);
      if ((two & kMagnitudes) != 0) break;
      x += 2;
    }
#endif
    while (x < end && a[x] == 0) ++x;
    return x;
  }

  void Cells(double x0, double y0, double x1, double y1);
  void Touch(int32_t row, int32_t lo, int32_t hi);

  // The cells of a row that lines have touched lie within lo .. hi and outside gapLo ..
  // gapHi: the widest stretch between them known to be untouched, which is where a shape's
  // inside lies between its edges.
  struct Touched {
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    int32_t gapLo = 1, gapHi = 0;
  };

  PixelBox box_;
  bool evenOdd_ = false;
  size_t stride_ = 0;
  std::vector<float> acc_;
  std::vector<float> cov_, constant_;
  std::vector<Touched> touched_;
  int32_t rowMin_ = INT32_MAX, rowMax_ = INT32_MIN;
  uint64_t work_ = 0;
};

}  // namespace vitrine::swf
