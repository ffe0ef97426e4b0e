#include "transitions/motion_split.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct SplitState {
  bool rows = true;
  int32_t middle = 0;  // m: H div 2 + 1 (or W div 2 + 1)
};
SplitState gSplit;

// Columns one canvas call each would walk the whole height 2(p + 1) times; copying the
// pixels row by row touches each row once. Column 2k takes picture column 2k + shift and
// column 2k + 1 + shift takes picture column 2k + 1, shift = 2(m - p), where both exist.
template <class Pixel>
void SplitColumnRows(PixelCopier& copier, int32_t p) {
  const Rect& v = copier.Visible();
  const int32_t w = gTransition.PicWidth, shift = 2 * (gSplit.middle - p), ox = copier.OriginX();
  // Even columns 2k for k = 0..p: destination 2k in [v.left, v.right), source 2k + shift < w.
  const int32_t evenEnd = std::min({2 * p + 1, v.right, w - shift});
  const int32_t evenBegin = v.left + (v.left & 1);
  // Odd columns j = 2k + 1 for k = 0..p: source j < w, destination j + shift inside v.
  const int32_t oddEnd = std::min({2 * p + 2, w, v.right - shift});
  int32_t oddBegin = std::max(1, v.left - shift);
  oddBegin += 1 - (oddBegin & 1);
  for (int32_t y = v.top; y < v.bottom; ++y) {
    Pixel* dest = copier.DestRow<Pixel>(y) + ox;
    const Pixel* src = copier.SrcRow<Pixel>(y);
    for (int32_t x = evenBegin; x < evenEnd; x += 2) dest[x] = src[x + shift];
    for (int32_t x = oddBegin; x < oddEnd; x += 2) dest[x + shift] = src[x];
  }
}

void SplitColumns(int32_t p) {
  PixelCopier copier;
  switch (copier.CopyMode()) {
    case PixelCopier::Mode::Same16: SplitColumnRows<uint16_t>(copier, p); return;
    case PixelCopier::Mode::Same32: SplitColumnRows<uint32_t>(copier, p); return;
    default: break;
  }
  const Rect& visible = copier.Visible();
  const int32_t m = gSplit.middle;
  for (int32_t y = visible.top; y < visible.bottom; ++y)
    for (int32_t k = 0; k <= p; ++k) {
      const int32_t far = 2 * (m - p + k);
      copier.Pixel(far, y, 2 * k, y);
      copier.Pixel(2 * k + 1, y, far + 1, y);
    }
}

}  // namespace

void SetupSplit(bool rows) {
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
      CopyNewTo({0, far, w, far + 1}, {0, 2 * k, w, 2 * k + 1});
      CopyNewTo({0, 2 * k + 1, w, 2 * k + 2}, {0, far + 1, w, far + 2});
    }
  } else {
    SplitColumns(p);
  }
  ++s.Position;
  return false;
}

}  // namespace vitrine
