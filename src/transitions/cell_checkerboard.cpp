#include "transitions/cell_checkerboard.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kLines = 20;

struct CheckerboardState {
  int32_t CellWidth = 0, CellHeight = 0;
  bool FirstPass = true;
  CheckerLines lines = CheckerLines::Rows;
  bool firstForward = true, secondForward = true;
};
CheckerboardState gBoard;

int32_t StartOf(bool forward) { return forward ? 0 : kLines - 1; }

}  // namespace

void SetupCheckerboard(CheckerLines lines, bool firstForward, bool secondForward) {
  gBoard.CellWidth = (gTransition.PicWidth + 20) / 20;
  gBoard.CellHeight = (gTransition.PicHeight + 20) / 20;
  gBoard.FirstPass = true;
  gBoard.lines = lines;
  gBoard.firstForward = firstForward;
  gBoard.secondForward = secondForward;
  gTransition.Position = StartOf(firstForward);
}

bool CheckerboardFrame() {
  TransitionState& s = gTransition;
  const int32_t line = s.Position;
  // The first pass takes the cells whose index has the line's parity, the second the others.
  const int32_t firstCell = gBoard.FirstPass ? 0 : 1;
  for (int32_t cell = (line + firstCell) % 2; cell < kLines; cell += 2) {
    const int32_t col = gBoard.lines == CheckerLines::Rows ? cell : line;
    const int32_t row = gBoard.lines == CheckerLines::Rows ? line : cell;
    CopyNewRect(col * gBoard.CellWidth, row * gBoard.CellHeight, (col + 1) * gBoard.CellWidth,
                (row + 1) * gBoard.CellHeight);
  }
  const bool forward = gBoard.FirstPass ? gBoard.firstForward : gBoard.secondForward;
  s.Position += forward ? 1 : -1;
  if (s.Position >= 0 && s.Position < kLines) return false;
  if (!gBoard.FirstPass) return true;
  gBoard.FirstPass = false;
  s.Position = StartOf(gBoard.secondForward);
  return false;
}

}  // namespace vitrine
