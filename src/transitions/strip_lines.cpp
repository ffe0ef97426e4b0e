// From the top (left) edge the first pass takes lines 0, 2, 4 ... forwards; from the bottom
// (right) edge the far line first and backwards. The second pass takes the other lines, the
// same way round or (rebound) the other way.
#include "transitions/strip_lines.h"

#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct LinesState {
  Axis axis;
  bool rebound = false;
  bool LineFirstPass = true;
};
LinesState gLines;

bool Forward() { return gLines.axis.edge == Edge::Top || gLines.axis.edge == Edge::Left; }

void CopyLine(int32_t n) {
  if (gLines.axis.Vertical()) CopyNewRect(0, n, gTransition.PicWidth, n + 1);
  else CopyNewRect(n, 0, n + 1, gTransition.PicHeight);
}

}  // namespace

void SetupLines(Edge from, bool rebound) {
  gLines.axis.edge = from;
  gLines.rebound = rebound;
  gLines.LineFirstPass = true;
  gTransition.Position = Forward() ? 0 : gLines.axis.Length() - 1;
}

bool LinesFrame() {
  const int32_t n = gLines.axis.Length();
  int32_t& p = gTransition.Position;
  CopyLine(p);
  // The direction of the current pass.
  const bool forwardNow = Forward() != (!gLines.LineFirstPass && gLines.rebound);
  p += forwardNow ? 2 : -2;
  const bool passOver = forwardNow ? p >= n : p < 0;
  if (!passOver) return false;
  if (!gLines.LineFirstPass) return true;
  gLines.LineFirstPass = false;
  const bool evenCount = n % 2 == 0;
  if (Forward()) p = gLines.rebound ? (evenCount ? n - 1 : n - 2) : 1;
  else p = gLines.rebound ? (evenCount ? 0 : 1) : n - 2;
  return false;
}

}  // namespace vitrine
