#include "transitions/motion_roll.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kStep = 3;
constexpr int32_t kCurl = 30;

struct RollState {
  Axis axis;
  bool firstFrame = true;
};
RollState gRoll;

}  // namespace

void SetupRoll(Edge from) {
  gRoll.axis.edge = from;
  gRoll.firstFrame = true;
}

bool RollFrame() {
  TransitionState& s = gTransition;
  const Axis& a = gRoll.axis;
  const int32_t length = a.Length(), p = s.Position;
  if (p >= length) {
    DrawWholeNew();
    return true;
  }
  const int32_t end = std::min(p + kCurl, length);
  // Beyond the curl the area shows the old picture; from the second frame on it still does,
  // and only the lines the edge passed and the curl itself change.
  if (gRoll.firstFrame) RestoreOld(a.Span(end, length));
  else CopyNewRect(a.Span(std::max(p - kStep, 0), p));
  gRoll.firstFrame = false;
  for (int32_t line = p; line < end; ++line) {
    const int32_t mirrored = end - 1 - (line - p);
    CopyNewTo(a.Span(mirrored, mirrored + 1), a.Span(line, line + 1));
  }
  s.Position += kStep;
  return false;
}

}  // namespace vitrine
