#pragma once
// Runs of premultiplied colour laid over the opaque work surface: the loop every fill of the
// renderer ends in. The same sums are made by a plain loop and, where the processor has them,
// by vector instructions four or eight pixels at a time; every version gives the same pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "flash/swf/radial_pad.h"

namespace vitrine::swf {

// v / 255 rounded, for v up to 255 * 255.
inline uint32_t Div255(uint32_t v) { return (v + 128 + ((v + 128) >> 8)) >> 8; }

// src (premultiplied 0xAARRGGBB) at coverage k (0..255) over an opaque 0x00RRGGBB pixel.
[[gnu::always_inline]] inline uint32_t Over(uint32_t src, uint32_t k, uint32_t d) {
  uint32_t sa = Div255((src >> 24) * k);
  uint32_t keep = 255 - sa;
  uint32_t r = Div255(((src >> 16) & 255) * k) + Div255(((d >> 16) & 255) * keep);
  uint32_t g = Div255(((src >> 8) & 255) * k) + Div255(((d >> 8) & 255) * keep);
  uint32_t b = Div255((src & 255) * k) + Div255((d & 255) * keep);
  return (r < 255 ? r : 255) << 16 | (g < 255 ? g : 255) << 8 | (b < 255 ? b : 255);
}

// A coverage of 0..1 as the 0..255 that Over takes.
inline uint32_t CoverageByte(float c) { return uint32_t(c * 255 + 0.5f); }

// A pad-spread linear gradient along a run: pixel i lies at gx + dgx i across the gradient
// square (-16384 .. 16384) and takes entry 255 t + 0.5 of the table, t being its place across
// the square clamped to 0..1 (0 where it is not a number). Beyond the square the entry stands
// still, so a run falls into three parts: pixels before `begin` take entry `before`, pixels
// from `end` on take `after`, and between them the entry is the whole part of a 16.16
// fixed-point position that starts at `position` and moves `step` a pixel; that position is
// the exact sum rounded to 1/65536, so an entry differs from it by one at most, and only
// where the sum comes within a hair of a whole entry.
struct LinearPadRun {
  int32_t begin = 0, end = 0;
  int32_t before = 0, after = 0;
  int32_t position = 0, step = 0;

  int32_t Entry(int32_t i) const {
    if (i < begin) return before;
    if (i >= end) return after;
    return (position + step * (i - begin)) >> 16;
  }
};

// Lays count colours over row: pixel i takes src[i] (src[0] throughout when oneColour) at
// coverage CoverageByte(cov[i]), or whole when cov is null.
using SpanOver = void (*)(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov, int32_t count);
// The same with pixel i taking entry run.Entry(first + i) of lut: pixels from first on of a
// run planned whole, so that a part of it takes the entries the whole would.
using LinearPadOver = void (*)(uint32_t* row, const uint32_t* lut, const LinearPadRun& run, int32_t first,
                               const float* cov, int32_t count);
// The same with pixel i taking entry radial.Index(first + i) of lut.
using RadialPadOver = void (*)(uint32_t* row, const uint32_t* lut, const RadialPad& radial, int32_t first,
                               const float* cov, int32_t count);

// Sets count pixels of row to colour.
using SpanFill = void (*)(uint32_t* row, uint32_t colour, int32_t count);

struct SpanCompositor {
  const char* name;
  SpanOver over;
  LinearPadOver linearPad;
  RadialPadOver radialPad;
  SpanFill fill;
};
// The versions this processor runs, fastest first; the plain loops are always the last.
std::span<const SpanCompositor> SpanCompositors();
// The fastest of them.
const SpanCompositor& FastestSpans();
inline void CompositeSpan(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov, int32_t count) {
  FastestSpans().over(row, src, oneColour, cov, count);
}

// The parts of the count pixels of a run whose first pixel lies at gx + dgx first.
LinearPadRun PlanLinearPad(double gx, double dgx, int32_t first, int32_t count);

// Entries of the pixels of a run, as PlanLinearPad(gx, dgx, first, count) makes them.
void LinearPadIndices(double gx, double dgx, int32_t first, int32_t count, int32_t* out);

}  // namespace vitrine::swf
