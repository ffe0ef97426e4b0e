#include "transitions/cell_dissolve.h"

#include <algorithm>
#include <vector>

#include "core/random.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// A frame needs two draws of Random(6) per dot, some 660 000 at 1920 x 1080. One draw of
// Random(6^11) yields eleven independent uniform base-6 digits, which keeps the generator
// the only source while calling it eleven times less often. A frame keeps its die in
// registers and leaves unused digits behind.
class SixSidedDie {
 public:
  int32_t Roll() {
    if (left_ == 0) {
      pool_ = static_cast<uint32_t>(Random(kPoolRange));
      left_ = kDigits;
    }
    --left_;
    const int32_t digit = static_cast<int32_t>(pool_ % 6);
    pool_ /= 6;
    return digit;
  }

 private:
  static constexpr int kDigits = 11;
  static constexpr int32_t kPoolRange = 362797056;  // 6^11
  uint32_t pool_ = 0;
  int left_ = 0;
};

// One pass walks columns x = Position, then on by Random(6) steps, and down each column
// rows y = Phase, then on by Random(6) steps, with a dot at (x + Random(6), y). Walking a
// whole column before the next touches a different surface row on every dot; here every
// column walks through one band of rows before any walks the next band, each with its own
// draws, which gives the same pattern and keeps the rows of a band in the cache.
constexpr int32_t kBandRows = 16;

struct DotPass {
  std::vector<int32_t> columns;  // x of every column of the pass
  std::vector<int32_t> nextRow;  // where each column's walk goes on
};
DotPass gPass;

template <class Dot>
void ScatterBands(SixSidedDie& die, int32_t height, Dot dot) {
  const size_t n = gPass.columns.size();
  for (int32_t band = 0; band < height; band += kBandRows) {
    const int32_t end = std::min(band + kBandRows, height);
    for (size_t c = 0; c < n; ++c) {
      const int32_t x = gPass.columns[c];
      int32_t y = gPass.nextRow[c];
      while (y < end) {
        dot(x + die.Roll(), y);
        y += die.Roll();
      }
      gPass.nextRow[c] = y;
    }
  }
}

template <class Pixel>
void ScatterRaw(SixSidedDie& die, int32_t height, PixelCopier& copier) {
  const Rect v = copier.Visible();
  const int32_t ox = copier.OriginX();
  // Offsets past the right edge fall outside the work bitmap and show nothing.
  ScatterBands(die, height, [&](int32_t x, int32_t y) {
    if (v.Contains(x, y)) copier.DestRow<Pixel>(y)[x + ox] = copier.SrcRow<Pixel>(y)[x];
  });
}

void Scatter(int32_t firstX, int32_t firstY, int32_t width, int32_t height) {
  SixSidedDie die;
  gPass.columns.clear();
  for (int32_t x = firstX; x < width; x += die.Roll()) gPass.columns.push_back(x);
  gPass.nextRow.assign(gPass.columns.size(), firstY);
  PixelCopier copier;
  switch (copier.CopyMode()) {
    case PixelCopier::Mode::Same16: ScatterRaw<uint16_t>(die, height, copier); break;
    case PixelCopier::Mode::Same32: ScatterRaw<uint32_t>(die, height, copier); break;
    default: ScatterBands(die, height, [&](int32_t x, int32_t y) { copier.Pixel(x, y, x, y); }); break;
  }
}

}  // namespace

void SetupDissolve() {
}

bool DissolveFrame() {
  TransitionState& s = gTransition;
  if (s.Position > 5) {
    DrawWholeNew();
    std::vector<int32_t>().swap(gPass.columns);
    std::vector<int32_t>().swap(gPass.nextRow);
    return true;
  }
  if (s.Phase > 5) {
    s.Phase = 0;
    ++s.Position;
    return false;
  }
  Scatter(s.Position, s.Phase, s.PicWidth, s.PicHeight);
  ++s.Phase;
  return false;
}

}  // namespace vitrine
