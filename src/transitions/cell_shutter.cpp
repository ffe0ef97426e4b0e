#include "transitions/cell_slats.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct ShutterState {
  int32_t SlatCount = 1, SlatSize = 0;
  bool horizontal = true;
};
ShutterState gShutter;

// A strip across slat k, from a to b along the slats' length.
void CopySlatPart(int32_t k, int32_t a, int32_t b) {
  const int32_t t = gShutter.SlatSize;
  if (gShutter.horizontal) CopyNewRect(a, k * t, b, (k + 1) * t);
  else CopyNewRect(k * t, a, (k + 1) * t, b);
}

}  // namespace

void SetupShutter(bool horizontal, int32_t slatCount) {
  const int32_t across = horizontal ? gTransition.PicHeight : gTransition.PicWidth;
  // Under 10 pixels the passed count is 0; one slat across the area keeps the division sound.
  gShutter.SlatCount = std::max<int32_t>(slatCount, 1);
  gShutter.SlatSize = across / gShutter.SlatCount;
  gShutter.horizontal = horizontal;
  gTransition.Position = 0;
}

bool ShutterFrame() {
  TransitionState& s = gTransition;
  const int32_t length = gShutter.horizontal ? s.PicWidth : s.PicHeight;
  if (s.Position > length) {
    DrawWholeNew();
    return true;
  }
  const int32_t p = s.Position, step = s.Speed;
  for (int32_t k = 0; k < gShutter.SlatCount; k += 2) {
    CopySlatPart(k, p, p + step);
    CopySlatPart(k + 1, length - p, length - p + step);
  }
  s.Position += step;
  return false;
}

}  // namespace vitrine
