#include "transitions/cell_slats.h"

#include <algorithm>
#include <vector>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kBand = 400;  // 20 strips of 20 pixels
constexpr int32_t kStep = 20;

struct SweepState {
  Edge from = Edge::Left;
  // One flag per line across the sweep: strips overlap from frame to frame, and only the
  // lines not yet showing the new picture are copied.
  std::vector<uint8_t> revealed;
};
SweepState gSweep;

bool Rows() { return gSweep.from == Edge::Top || gSweep.from == Edge::Bottom; }

void CopyStrip(int32_t a, int32_t b) {
  const TransitionState& s = gTransition;
  const int32_t length = static_cast<int32_t>(gSweep.revealed.size());
  a = std::max(a, 0);
  b = std::min(b, length);
  for (int32_t i = a; i < b;) {
    if (gSweep.revealed[i]) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j < b && !gSweep.revealed[j]) gSweep.revealed[j++] = 1;
    if (Rows()) CopyNewRect(0, i, s.PicWidth, j);
    else CopyNewRect(i, 0, j, s.PicHeight);
    i = j;
  }
}

}  // namespace

void SetupSweep(Edge from) {
  gSweep.from = from;
  const int32_t length = Rows() ? gTransition.PicHeight : gTransition.PicWidth;
  gSweep.revealed.assign(std::max<int32_t>(length, 0), 0);
  const bool forward = from == Edge::Top || from == Edge::Left;
  gTransition.Position = forward ? -kBand : length + kBand;
}

bool SweepFrame() {
  TransitionState& s = gTransition;
  const int32_t length = static_cast<int32_t>(gSweep.revealed.size());
  const int32_t p = s.Position;
  const bool forward = gSweep.from == Edge::Top || gSweep.from == Edge::Left;
  if (forward ? p >= length : p <= -(kBand + kStep)) {
    std::vector<uint8_t>().swap(gSweep.revealed);
    return true;
  }
  // Twenty strips thinning out towards the leading edge; the trailing one is 20 pixels wide.
  if (forward) {
    for (int32_t k = 0; k < 20; ++k) CopyStrip(p + kStep * k, p + kStep * k + 20 - k);
    s.Position += kStep;
  } else {
    for (int32_t k = 1; k <= 20; ++k) CopyStrip(p + kStep * k, p + kStep * k + k);
    s.Position -= kStep;
  }
  return false;
}

}  // namespace vitrine
