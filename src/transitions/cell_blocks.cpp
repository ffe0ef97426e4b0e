#include "transitions/cell_blocks.h"

#include <algorithm>
#include <cstdint>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

constexpr int32_t kBlocks = 64;

struct BlocksState {
  int32_t CellWidth = 0, CellHeight = 0;
  uint8_t SpiralX[kBlocks] = {};
  uint8_t SpiralY[kBlocks] = {};
};
BlocksState gBlocks;

// From (3, 3): down 1, right 1, up 2, left 2, down 3, ... right 7, and a last run up 7.
void FillSpiral(uint8_t (&xs)[kBlocks], uint8_t (&ys)[kBlocks]) {
  constexpr int dx[4] = {0, 1, 0, -1};  // down, right, up, left
  constexpr int dy[4] = {1, 0, -1, 0};
  int x = 3, y = 3, n = 0;
  xs[n] = uint8_t(x);
  ys[n] = uint8_t(y);
  ++n;
  for (int run = 0; n < kBlocks; ++run) {
    const int dir = run % 4;
    const int length = std::min(run / 2 + 1, 7);
    for (int i = 0; i < length && n < kBlocks; ++i) {
      x += dx[dir];
      y += dy[dir];
      xs[n] = uint8_t(x);
      ys[n] = uint8_t(y);
      ++n;
    }
  }
}

}  // namespace

void BlockSpiralStep(int32_t p, int32_t& column, int32_t& row) {
  uint8_t xs[kBlocks], ys[kBlocks];
  FillSpiral(xs, ys);
  column = xs[p];
  row = ys[p];
}

void SetupBlocks(bool fromCenter) {
  gBlocks.CellWidth = gTransition.PicWidth / 8 + 1;
  gBlocks.CellHeight = gTransition.PicHeight / 8 + 1;
  FillSpiral(gBlocks.SpiralX, gBlocks.SpiralY);
  if (!fromCenter) {
    std::reverse(std::begin(gBlocks.SpiralX), std::end(gBlocks.SpiralX));
    std::reverse(std::begin(gBlocks.SpiralY), std::end(gBlocks.SpiralY));
  }
  gTransition.Position = 1;
}

bool BlocksFrame() {
  TransitionState& s = gTransition;
  if (s.Position > kBlocks) return true;
  const int32_t col = gBlocks.SpiralX[s.Position - 1], row = gBlocks.SpiralY[s.Position - 1];
  CopyNewRect(col * gBlocks.CellWidth, row * gBlocks.CellHeight, (col + 1) * gBlocks.CellWidth,
              (row + 1) * gBlocks.CellHeight);
  ++s.Position;
  return false;
}

}  // namespace vitrine
