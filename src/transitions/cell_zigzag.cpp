#include "transitions/cell_zigzag.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kCells = 20;

struct ZigZagState {
  int32_t CellWidth = 0, CellHeight = 0;
  int32_t ZigColumn = 0, ZigRow = 0;
  ZigDirection direction = ZigDirection::Down;
};
ZigZagState gZig;

// Moves `along` one cell within the current line; at the line's end it stays on the last
// cell and `across` steps to the next line. The first line runs forwards.
void Advance(int32_t& along, int32_t& across, int32_t linesDone) {
  if (linesDone % 2 == 0) {
    if (++along < kCells) return;
    along = kCells - 1;
  } else {
    if (--along >= 0) return;
    along = 0;
  }
  across += 1;
}

}  // namespace

void SetupZigZag(ZigDirection direction) {
  gZig.CellWidth = gTransition.PicWidth / kCells;
  gZig.CellHeight = gTransition.PicHeight / kCells;
  gZig.direction = direction;
  gZig.ZigColumn = direction == ZigDirection::Left ? kCells - 1 : 0;
  gZig.ZigRow = direction == ZigDirection::Up ? kCells - 1 : 0;
}

bool ZigZagFrame() {
  ZigZagState& z = gZig;
  CopyNewRect(z.ZigColumn * z.CellWidth, z.ZigRow * z.CellHeight, (z.ZigColumn + 1) * z.CellWidth,
              (z.ZigRow + 1) * z.CellHeight);
  // Mirrored walks count their lines from the far side, so the same serpentine rule applies.
  int32_t done = 0;
  switch (z.direction) {
    case ZigDirection::Down:
      Advance(z.ZigColumn, z.ZigRow, z.ZigRow);
      done = z.ZigRow;
      break;
    case ZigDirection::Right:
      Advance(z.ZigRow, z.ZigColumn, z.ZigColumn);
      done = z.ZigColumn;
      break;
    case ZigDirection::Up: {
      int32_t line = kCells - 1 - z.ZigRow;
      Advance(z.ZigColumn, line, line);
      z.ZigRow = kCells - 1 - line;
      done = line;
      break;
    }
    case ZigDirection::Left: {
      int32_t line = kCells - 1 - z.ZigColumn;
      Advance(z.ZigRow, line, line);
      z.ZigColumn = kCells - 1 - line;
      done = line;
      break;
    }
  }
  if (done < kCells) return false;
  // The grid of W div 20 cells leaves a margin at the right and bottom; the end fills it.
  DrawWholeNew();
  return true;
}

}  // namespace vitrine
