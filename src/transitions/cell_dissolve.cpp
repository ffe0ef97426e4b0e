#include "transitions/cell_dissolve.h"

#include "core/random.h"
#include "transitions/cell_draw.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// A frame needs two draws of Random(6) per dot, some 660 000 at 1920 x 1080. One draw of
// Random(6^11) yields eleven independent uniform base-6 digits, which keeps the generator
// the only source while calling it eleven times less often.
class SixSidedDie {
 public:
  void Reset() { left_ = 0; }
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
SixSidedDie gDie;

// Copies the dots of one pass straight to the surface: the work bitmap of the description
// only ever differed from the screen by these pixels.
template <class Copy>
void Scatter(int32_t firstX, int32_t firstY, int32_t width, int32_t height, Copy copy) {
  for (int32_t x = firstX; x < width; x += gDie.Roll())
    for (int32_t y = firstY; y < height; y += gDie.Roll()) copy(x + gDie.Roll(), y);
}

}  // namespace

void SetupDissolve(const TransitionSetupArgs& args) {
  reveal::TakeSetupArgs(args);
  gDie.Reset();
}

bool DissolveFrame() {
  TransitionState& s = gTransition;
  if (s.Position > 5) {
    DrawWholeNew();
    return true;
  }
  if (s.Phase > 5) {
    s.Phase = 0;
    ++s.Position;
    return false;
  }
  reveal::PixelCopier copier;
  const Rect& visible = copier.Visible();
  Scatter(s.Position, s.Phase, s.PicWidth, s.PicHeight, [&](int32_t x, int32_t y) {
    // Offsets past the right edge fall outside the work bitmap and show nothing.
    if (visible.Contains(x, y)) copier.PixelUnchecked(x, y, x, y);
  });
  ++s.Phase;
  return false;
}

}  // namespace vitrine
