#include "transitions/motion_slide.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// Told on "down": the picture is cut at m = H div 2 into the part above (near the edge the
// movement starts from) and the part below.
struct PhasedState {
  Axis axis;
  int variant = 1;
  int32_t lastDrawn = -1;  // the clamped step last drawn in the current phase
  int32_t blockTop = 0;    // variants 3 and 4: where the travelling block stands
};
PhasedState gPhased;

int EndPhase() { return gPhased.variant <= 2 ? 2 : 3; }

void NextPhase() {
  ++gTransition.Phase;
  gTransition.Position = -gTransition.Speed;  // 0 after this frame's increment
  gPhased.lastDrawn = -1;
}

// Copies src onto dst unless the same step was drawn already (the frame that ends a phase
// at p > m repeats the step m).
void SlideStep(int32_t step, const Rect& src, const Rect& dst) {
  if (step == gPhased.lastDrawn) return;
  CopyNewTo(src, dst);
  gPhased.lastDrawn = step;
}

}  // namespace

void SetupPhasedSlide(Edge from, int variant) {
  gPhased.axis.edge = from;
  gPhased.variant = variant;
  gPhased.lastDrawn = -1;
  gPhased.blockTop = 0;
}

bool PhasedSlideFrame() {
  TransitionState& s = gTransition;
  const Axis& a = gPhased.axis;
  const int32_t length = a.Length(), m = length / 2, rest = length - m;
  const int variant = gPhased.variant;
  if (s.Phase >= EndPhase()) return true;
  const int32_t p = s.Position;
  switch (s.Phase) {
    case 0: {
      const int32_t step = std::min(p, m);
      if (variant <= 2) SlideStep(step, a.Span(m - step, m), a.Span(0, step));  // upper part from the edge
      else SlideStep(step, a.Span(length - step, length), a.Span(0, step));  // a lower block from the edge
      if (p > m) NextPhase();
      break;
    }
    case 1:
      if (variant <= 2) {
        const int32_t step = std::min(p, rest);
        if (variant == 1) SlideStep(step, a.Span(length - step, length), a.Span(m, m + step));  // down from the cut
        else SlideStep(step, a.Span(m, m + step), a.Span(length - step, length));  // up from the far edge
        if (p >= rest) NextPhase();
      } else {
        // The block of the last m lines travels to the far edge; the lines it leaves show
        // the old picture again.
        const int32_t top = std::min(p, rest), last = gPhased.blockTop;
        if (top != last) {
          RestoreOld(a.Span(last, std::min(top, last + m)));
          CopyNewTo(a.Span(rest, length), a.Span(top, top + m));
          gPhased.blockTop = top;
        }
        if (top >= rest) NextPhase();
      }
      break;
    case 2: {
      const int32_t step = std::min(p, rest);
      if (variant == 3) SlideStep(step, a.Span(0, step), a.Span(rest - step, rest));  // rises from the block
      else SlideStep(step, a.Span(rest - step, rest), a.Span(0, step));  // slides in from the edge
      if (p >= rest) NextPhase();
      break;
    }
  }
  s.Position += s.Speed;
  return false;
}

}  // namespace vitrine
