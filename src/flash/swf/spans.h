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

// Lays count colours over row: pixel i takes src[i] (src[0] throughout when oneColour) at
// coverage CoverageByte(cov[i]), or whole when cov is null.
using SpanOver = void (*)(uint32_t* row, const uint32_t* src, bool oneColour, const float* cov, int32_t count);
// The same with pixel i taking entry LinearPadIndex(gx, dgx, first + i) of lut.
using LinearPadOver = void (*)(uint32_t* row, const uint32_t* lut, double gx, double dgx, int32_t first,
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

// The table entry of a pad-spread linear gradient at pixel i of a run that starts at gx
// along the gradient square (-16384 .. 16384) and moves dgx a pixel: 255 t + 0.5, t being
// the pixel's place across the square clamped to 0..1 (0 where it is not a number).
inline int32_t LinearPadIndex(double gx, double dgx, int32_t i) {
  double t = (gx + dgx * i + 16384) / 32768;
  if (!std::isfinite(t)) return 0;
  return int32_t(std::clamp(t, 0.0, 1.0) * 255 + 0.5);
}
// Entries of pixels first .. first+count-1 to out, the same as LinearPadIndex gives.
void LinearPadIndices(double gx, double dgx, int32_t first, int32_t count, int32_t* out);

}  // namespace vitrine::swf
