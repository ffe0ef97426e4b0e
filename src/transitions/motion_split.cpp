#include "transitions/motion_split.h"

#include "transitions/cell_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct SplitState {
  bool rows = true;
  int32_t middle = 0;  // m: H div 2 + 1 (or W div 2 + 1)
};
SplitState gSplit;

}  // namespace

void SetupSplit(const TransitionSetupArgs& args, bool rows) {
  reveal::TakeSetupArgs(args);
  gSplit.rows = rows;
  gSplit.middle = (rows ? gTransition.PicHeight : gTransition.PicWidth) / 2 + 1;
}

// Line 2k shows line 2(m - p + k) of the picture, and line 2(m - p + k) + 1 shows line
// 2k + 1, for k = 0..p. Lines addressed beyond the picture are skipped on either side.
bool SplitFrame() {
  TransitionState& s = gTransition;
  const int32_t m = gSplit.middle, p = s.Position;
  if (p > m) return true;
  if (gSplit.rows) {
    const int32_t w = s.PicWidth;
    for (int32_t k = 0; k <= p; ++k) {
      const int32_t far = 2 * (m - p + k);
      reveal::CopyNewTo({0, far, w, far + 1}, {0, 2 * k, w, 2 * k + 1});
      reveal::CopyNewTo({0, 2 * k + 1, w, 2 * k + 2}, {0, far + 1, w, far + 2});
    }
  } else {
    // Columns one canvas call each would walk the whole height 2(p + 1) times; copying the
    // pixels row by row touches each row once.
    reveal::PixelCopier copier;
    const Rect& visible = copier.Visible();
    for (int32_t y = visible.top; y < visible.bottom; ++y)
      for (int32_t k = 0; k <= p; ++k) {
        const int32_t far = 2 * (m - p + k);
        copier.Pixel(far, y, 2 * k, y);
        copier.Pixel(2 * k + 1, y, far + 1, y);
      }
  }
  ++s.Position;
  return false;
}

}  // namespace vitrine
