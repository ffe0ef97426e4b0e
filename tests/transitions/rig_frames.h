#pragma once
// Frame-by-frame observations on a TransitionRig for the family tests.
#include "transitions/transition_rig.h"

namespace vitrine::test {

struct FrameResult {
  bool finished;
  Rect changed;  // bounding box, in picture coordinates, of the pixels this frame changed
};

inline FrameResult StepAndDiff(TransitionRig& rig) {
  const Bitmap before = rig.Surface();
  const bool finished = rig.Step();
  const Rect area = rig.Area();
  Rect box{area.right, area.bottom, area.left, area.top};
  for (int32_t y = 0; y < before.Height(); ++y)
    for (int32_t x = 0; x < before.Width(); ++x)
      if (before.RawPixel(x, y) != rig.Surface().RawPixel(x, y))
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  if (box.Empty()) return {finished, {}};
  return {finished, box.Offset(-area.left, -area.top)};
}

inline TransitionRig MakeRig(int32_t w, int32_t h) {
  return TransitionRig(MakeOldTestPicture(w, h), MakeNewTestPicture(w, h), 2, 3);
}

}  // namespace vitrine::test
