// Copying the new picture over itself changes nothing, so where a frame would redraw what an
// earlier frame already drew (a band's front is redrawn from the edge every frame), only the
// pixels not yet drawn are copied; the screen after every frame is the same.
#include "transitions/strip_ragged_band.h"

#include <algorithm>
#include <vector>

#include "core/random.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kRaggedness = 50;  // a front reaches up to 49 pixels beyond the common one

struct RaggedBandState {
  Axis axis;
  int32_t BandSize = 5, BandCount = 0;
  // Per band, how far from its edge it is already drawn (the front only ever advances).
  std::vector<int32_t> reached;
};
RaggedBandState gRagged;

bool Forward() { return gRagged.axis.edge == Edge::Top || gRagged.axis.edge == Edge::Left; }

// Extends band i so that it covers depth from its edge.
void ExtendBand(int32_t i, int32_t depth) {
  int32_t& reached = gRagged.reached[static_cast<size_t>(i)];
  if (depth <= reached) return;
  const int32_t b0 = i * gRagged.BandSize, b1 = b0 + gRagged.BandSize;
  const Rect span = gRagged.axis.Span(reached, depth);
  if (gRagged.axis.Vertical()) CopyNewRect(b0, span.top, b1, span.bottom);
  else CopyNewRect(span.left, b0, span.right, b1);
  reached = depth;
}

}  // namespace

void SetupRaggedBand(Edge from, int32_t bandSize) {
  TransitionState& s = gTransition;
  gRagged.axis.edge = from;
  gRagged.BandSize = bandSize;
  const int32_t across = gRagged.axis.Vertical() ? s.PicWidth : s.PicHeight;
  gRagged.BandCount = bandSize == 1 ? across : (across + 5) / 5;
  s.Position = Forward() ? 0 : gRagged.axis.Length();
  gRagged.reached.assign(static_cast<size_t>(gRagged.BandCount), 0);
}

bool RaggedBandFrame() {
  TransitionState& s = gTransition;
  const bool forward = Forward();
  const int32_t extent = gRagged.axis.Length();
  const int32_t p = s.Position;
  if (forward ? p >= extent + kRaggedness : p <= -kRaggedness) {
    // With a step above 50 the last fronts may have jumped past the edge without reaching it.
    for (int32_t i = 0; i < gRagged.BandCount; ++i) ExtendBand(i, extent);
    return true;
  }
  for (int32_t i = 0; i < gRagged.BandCount; ++i) {
    const int32_t r = Random(kRaggedness);
    const int32_t depth = forward ? std::min(p + r, extent) : extent - std::max(p - r, 0);
    ExtendBand(i, depth);
  }
  s.Position += forward ? s.Speed : -s.Speed;
  return false;
}

}  // namespace vitrine
