#include "transitions/cell_zigzag.h"

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kCells = 20;

struct ZigZagState {
  int32_t CellWidth = 0, CellHeight = 0;
  int32_t ZigColumn = 0, ZigRow = 0;  // the cell the walk stands on
  int32_t walked = 0;                 // cells copied so far
  ZigDirection direction = ZigDirection::Down;
};
ZigZagState gZig;

// Step n of the walk: on line n div 20, counted from the edge the walk starts at, forwards
// on the even lines and backwards on the odd ones. Mirrored walks count their lines from the
// far side, so the same serpentine rule serves all four.
void StandOn(int32_t n) {
  const int32_t line = n / kCells, along = line % 2 == 0 ? n % kCells : kCells - 1 - n % kCells;
  ZigZagState& z = gZig;
  switch (z.direction) {
    case ZigDirection::Down: z.ZigColumn = along, z.ZigRow = line; break;
    case ZigDirection::Up: z.ZigColumn = along, z.ZigRow = kCells - 1 - line; break;
    case ZigDirection::Right: z.ZigColumn = line, z.ZigRow = along; break;
    case ZigDirection::Left: z.ZigColumn = kCells - 1 - line, z.ZigRow = along; break;
  }
}

}  // namespace

void SetupZigZag(ZigDirection direction) {
  gZig.CellWidth = gTransition.PicWidth / kCells;
  gZig.CellHeight = gTransition.PicHeight / kCells;
  gZig.direction = direction;
  gZig.walked = 0;
  StandOn(0);
}

bool ZigZagFrame() {
  ZigZagState& z = gZig;
  CopyNewRect(z.ZigColumn * z.CellWidth, z.ZigRow * z.CellHeight, (z.ZigColumn + 1) * z.CellWidth,
              (z.ZigRow + 1) * z.CellHeight);
  if (++z.walked < kCells * kCells) {
    StandOn(z.walked);
    return false;
  }
  // The grid of W div 20 cells leaves a margin at the right and bottom; the end fills it.
  DrawWholeNew();
  return true;
}

}  // namespace vitrine
