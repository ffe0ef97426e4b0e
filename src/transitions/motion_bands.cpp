#include "transitions/motion_slide.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kBands = 15;

struct BandsState {
  Axis axis;
  int32_t BandSize = 1;  // height of a band (width, for the left and right entries)
  int32_t BandIndex = 1;
};
BandsState gBands;

}  // namespace

void SetupFallingBands(Edge from) {
  gBands.axis.edge = from;
  gBands.BandSize = gBands.axis.Length() / kBands + 1;
  // A band must not outrun its own size, or the strip restored behind it would not touch it.
  gTransition.Speed = std::min(gTransition.Speed, gBands.BandSize);
  gBands.BandIndex = 1;
}

bool FallingBandsFrame() {
  TransitionState& s = gTransition;
  const Axis& a = gBands.axis;
  const int32_t length = a.Length(), b = gBands.BandSize, p = s.Position;
  if (gBands.BandIndex > kBands) return true;
  RestoreOld(a.Span(std::max(p - s.Speed, 0), std::min(p, length)));
  int32_t rest = length - gBands.BandIndex * b;  // where this band comes to lie
  int32_t at = std::min(p, length);
  const bool landed = rest < at;
  if (landed) {
    rest = std::max(rest, 0);
    at = rest;
  }
  CopyNewTo(a.Span(rest, rest + b), a.Span(at, at + b));
  if (landed) {
    ++gBands.BandIndex;
    s.Position = -s.Speed;
  }
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
