// The catalogue rows of the moving, stretching and rolling reveals.
#include "transitions/catalogue.h"
#include "transitions/motion_bars.h"
#include "transitions/motion_roll.h"
#include "transitions/motion_slide.h"
#include "transitions/motion_split.h"
#include "transitions/motion_stretch.h"

namespace vitrine {
namespace {

using A = const TransitionArgs&;
using E = Edge;
using C = MotionCorner;
using S = StretchAnchor;
constexpr int32_t kSideBandsMs = 30, kFastestMs = 1;

// The four numbered variants of one direction ("Move down 1" .. "Move down 4") and its
// falling bands ("Move down 5"), which follow them in the catalogue.
template <Edge from>
void FillNumberedMoves(TransitionTable& table, TransitionId first, int32_t bandsIntervalMs) {
  auto at = [first](int offset) { return TransitionId(first + offset); };
  FillRows(table, {
    {at(0), [](A) { SetupPhasedSlide(from, 1); }, &PhasedSlideFrame},
    {at(1), [](A) { SetupPhasedSlide(from, 2); }, &PhasedSlideFrame},
    {at(2), [](A) { SetupPhasedSlide(from, 3); }, &PhasedSlideFrame},
    {at(3), [](A) { SetupPhasedSlide(from, 4); }, &PhasedSlideFrame},
    {at(4), [](A) { SetupFallingBands(from); }, &FallingBandsFrame, bandsIntervalMs},
  });
}

}  // namespace

void AddMotionRevealEntries(TransitionTable& table) {
  FillNumberedMoves<E::Top>(table, kMoveDown1, kDefaultFrameIntervalMs);
  FillNumberedMoves<E::Right>(table, kMoveLeft1, kSideBandsMs);
  FillNumberedMoves<E::Left>(table, kMoveRight1, kSideBandsMs);
  FillNumberedMoves<E::Bottom>(table, kMoveUp1, kDefaultFrameIntervalMs);
  static_assert(kMoveDown1 + 4 == kMoveDown5 && kMoveLeft1 + 4 == kMoveLeft5 && kMoveRight1 + 4 == kMoveRight5 &&
                kMoveUp1 + 4 == kMoveUp5);

  FillRows(table, {
    {kMoveDown, [](A) { SetupSlide(E::Top); }, &SlideFrame},
    {kMoveLeft, [](A) { SetupSlide(E::Right); }, &SlideFrame},
    {kMoveRight, [](A) { SetupSlide(E::Left); }, &SlideFrame},
    {kMoveUp, [](A) { SetupSlide(E::Bottom); }, &SlideFrame},
    {kMoveFromBottomLeft, [](A) { SetupCornerSlide(C::BottomLeft); }, &CornerSlideFrame},
    {kMoveFromBottomRight, [](A) { SetupCornerSlide(C::BottomRight); }, &CornerSlideFrame},
    {kMoveFromTopLeft, [](A) { SetupCornerSlide(C::TopLeft); }, &CornerSlideFrame},
    {kMoveFromTopRight, [](A) { SetupCornerSlide(C::TopRight); }, &CornerSlideFrame},
    {kMoveLeftRight, [](A) { SetupHalvesSlide(E::Left); }, &HalvesSlideFrame},
    {kMoveUpDown, [](A) { SetupHalvesSlide(E::Top); }, &HalvesSlideFrame},

    {kRollDown, [](A) { SetupRoll(E::Top); }, &RollFrame},
    {kRollLeft, [](A) { SetupRoll(E::Right); }, &RollFrame},
    {kRollRight, [](A) { SetupRoll(E::Left); }, &RollFrame},
    {kRollUp, [](A) { SetupRoll(E::Bottom); }, &RollFrame},

    {kShowFromBottomLeft, [](A) { SetupShowCorner(C::BottomLeft); }, &ShowCornerFrame},
    {kShowFromBottomRight, [](A) { SetupShowCorner(C::BottomRight); }, &ShowCornerFrame},
    {kShowFromTopLeft, [](A) { SetupShowCorner(C::TopLeft); }, &ShowCornerFrame},
    {kShowFromTopRight, [](A) { SetupShowCorner(C::TopRight); }, &ShowCornerFrame},
    {kShowLeftRight, [](A) { SetupSplit(false); }, &SplitFrame, kFastestMs},
    {kShowUpDwon, [](A) { SetupSplit(true); }, &SplitFrame, kFastestMs},

    {kStretchFromBottom, [](A) { SetupStretch(S::Bottom); }, &StretchFrame},
    {kStretchFromBottomLeft, [](A) { SetupStretch(S::BottomLeft); }, &StretchFrame},
    {kStretchFromBottomRight, [](A) { SetupStretch(S::BottomRight); }, &StretchFrame},
    {kStretchFromCenter, [](A) { SetupStretch(S::Center); }, &StretchFrame},
    {kStretchFromLeft, [](A) { SetupStretch(S::Left); }, &StretchFrame},
    {kStretchFromRight, [](A) { SetupStretch(S::Right); }, &StretchFrame},
    {kStretchFromTop, [](A) { SetupStretch(S::Top); }, &StretchFrame},
    {kStretchFromTopLeft, [](A) { SetupStretch(S::TopLeft); }, &StretchFrame},
    {kStretchFromTopRight, [](A) { SetupStretch(S::TopRight); }, &StretchFrame},

    {kTowBarMoveDown, [](A) { SetupBars(E::Top, true); }, &BarsFrame},
    {kTowBarMoveUp, [](A) { SetupBars(E::Bottom, true); }, &BarsFrame},
    {kTowBarWipeDown, [](A) { SetupBars(E::Top, false); }, &BarsFrame},
    {kTowBarWipeUp, [](A) { SetupBars(E::Bottom, false); }, &BarsFrame},
    {kTwoBarMoveLeft, [](A) { SetupBars(E::Right, true); }, &BarsFrame},
    {kTwoBarMoveRight, [](A) { SetupBars(E::Left, true); }, &BarsFrame},
    {kTwoBarWipeLeft, [](A) { SetupBars(E::Right, false); }, &BarsFrame},
    {kTwoBarWipeRight, [](A) { SetupBars(E::Left, false); }, &BarsFrame},
  });
}

}  // namespace vitrine
