#include "transitions/cell_mosaic.h"

#include <vector>

#include "core/random.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct MosaicState {
  int32_t CellWidth = 0, CellHeight = 0;
  std::vector<Point> PendingCells;  // origins of the cells not yet drawn
};
MosaicState gMosaic;

}  // namespace

void SetupMosaic() {
  gMosaic.CellWidth = gTransition.PicWidth / 20 + 1;
  gMosaic.CellHeight = gTransition.PicHeight / 20 + 1;
  gMosaic.PendingCells.clear();
  gMosaic.PendingCells.reserve(400);
  for (int32_t i = 0; i < 20; ++i)
    for (int32_t j = 0; j < 20; ++j) gMosaic.PendingCells.push_back({i * gMosaic.CellWidth, j * gMosaic.CellHeight});
}

bool MosaicFrame() {
  std::vector<Point>& cells = gMosaic.PendingCells;
  if (!cells.empty()) {
    const int32_t k = Random(static_cast<int32_t>(cells.size()));
    const Point cell = cells[k];
    CopyNewRect(cell.x, cell.y, cell.x + gMosaic.CellWidth, cell.y + gMosaic.CellHeight);
    cells.erase(cells.begin() + k);
  }
  if (!cells.empty()) return false;
  std::vector<Point>().swap(cells);
  return true;
}

}  // namespace vitrine
