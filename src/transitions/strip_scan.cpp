#include "transitions/strip_scan.h"

#include <algorithm>

#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

struct ScanState {
  ScanKind kind = ScanKind::Down;
  int32_t ScanMiddle = 0;  // W div 2 + 1 or H div 2 + 1: where the two strips meet or part
};
ScanState gScan;

// One strip along the scan axis: [a0, a1) of rows (horizontal kinds) or columns.
void CopyAcross(bool rows, int32_t a0, int32_t a1) {
  if (rows) CopyNewRect(0, a0, gTransition.PicWidth, a1);
  else CopyNewRect(a0, 0, a1, gTransition.PicHeight);
}

}  // namespace

void SetupScan(ScanKind kind) {
  gScan.kind = kind;
  switch (kind) {
    case ScanKind::ToCentreH: case ScanKind::ToEdgeH: gScan.ScanMiddle = gTransition.PicHeight / 2 + 1; break;
    case ScanKind::ToCentreV: case ScanKind::ToEdgeV: gScan.ScanMiddle = gTransition.PicWidth / 2 + 1; break;
    default: break;
  }
}

bool ScanFrame() {
  TransitionState& s = gTransition;
  const int32_t p = s.Position, step = s.Speed;
  bool finished = false;
  switch (gScan.kind) {
    case ScanKind::Down: case ScanKind::Right: {
      const bool rows = gScan.kind == ScanKind::Down;
      const int32_t extent = rows ? s.PicHeight : s.PicWidth;
      int32_t a1 = p + step;
      if (a1 > extent) a1 = extent, finished = true;
      CopyAcross(rows, p, a1);
      break;
    }
    case ScanKind::Up: case ScanKind::Left: {
      const bool rows = gScan.kind == ScanKind::Up;
      const int32_t extent = rows ? s.PicHeight : s.PicWidth;
      int32_t a0 = extent - p - step;
      if (a0 < 0) a0 = 0, finished = true;
      CopyAcross(rows, a0, extent - p);
      break;
    }
    case ScanKind::ToCentreH: case ScanKind::ToCentreV: {
      const bool rows = gScan.kind == ScanKind::ToCentreH;
      const int32_t extent = rows ? s.PicHeight : s.PicWidth;
      if (p > gScan.ScanMiddle) {
        // Both fronts have met; what the full copy would add is already drawn.
        CopyAcross(rows, p, extent - p);
        return true;
      }
      CopyAcross(rows, p, p + step);
      CopyAcross(rows, extent - p - step, extent - p);
      break;
    }
    case ScanKind::ToEdgeH: case ScanKind::ToEdgeV: {
      const bool rows = gScan.kind == ScanKind::ToEdgeH;
      const int32_t extent = rows ? s.PicHeight : s.PicWidth;
      const int32_t m = gScan.ScanMiddle;
      int32_t a0 = m - p - step;
      if (a0 < 0) a0 = 0, finished = true;
      CopyAcross(rows, a0, m - p);
      CopyAcross(rows, m + p, std::min(m + p + step, extent));
      break;
    }
  }
  s.Position += step;
  return finished;
}

}  // namespace vitrine
