#include "transitions/strip_random_lines.h"

#include <algorithm>
#include <vector>

#include "core/random.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct RandomLinesState {
  RandomLinesKind kind = RandomLinesKind::Rows;
  std::vector<int32_t> PendingLines;  // the lines not yet drawn
};
RandomLinesState gRandomLines;

}  // namespace

void SetupRandomLines(RandomLinesKind kind) {
  gRandomLines.kind = kind;
  const int32_t n = kind == RandomLinesKind::Rows ? gTransition.PicHeight : gTransition.PicWidth;
  std::vector<int32_t>& pending = gRandomLines.PendingLines;
  pending.resize(static_cast<size_t>(std::max(n, 0)));
  for (int32_t i = 0; i < n; ++i) pending[size_t(i)] = i;
}

bool RandomLinesFrame() {
  const TransitionState& s = gTransition;
  std::vector<int32_t>& pending = gRandomLines.PendingLines;
  if (pending.empty()) return true;
  const int32_t i = Random(static_cast<int32_t>(pending.size()));
  const int32_t n = pending[size_t(i)];
  if (gRandomLines.kind == RandomLinesKind::Rows) {
    CopyNewRect(0, n, s.PicWidth, n + 1);
  } else {
    CopyNewRect(n, 0, n + 1, s.PicHeight);
    if (gRandomLines.kind == RandomLinesKind::Cross) {
      const int32_t y = Random(s.PicHeight);
      CopyNewRect(0, y, s.PicWidth, y + 1);
    }
  }
  pending.erase(pending.begin() + i);
  return pending.empty();
}

}  // namespace vitrine
