// The catalogue rows of the moving, stretching and rolling reveals.
#include "transitions/catalogue.h"
#include "transitions/motion_bars.h"
#include "transitions/motion_roll.h"
#include "transitions/motion_slide.h"
#include "transitions/motion_split.h"
#include "transitions/motion_stretch.h"

namespace vitrine {
namespace {

void Fill(TransitionTable& table, int index, int32_t intervalMs, TransitionSetup setup, TransitionFrame frame) {
  TransitionEntry& entry = table[index];
  entry.intervalMs = intervalMs;
  entry.setup = setup;
  entry.frame = frame;
  entry.extraArgs = nullptr;
}

using A = const TransitionSetupArgs&;
using E = MotionEdge;

// The four numbered variants of one direction, at first..first+3, and the falling bands
// at first+4.
template <MotionEdge from>
void FillNumberedMoves(TransitionTable& table, int first, int32_t bandsIntervalMs) {
  Fill(table, first + 0, 10, [](A a) { SetupPhasedSlide(a, from, 1); }, &PhasedSlideFrame);
  Fill(table, first + 1, 10, [](A a) { SetupPhasedSlide(a, from, 2); }, &PhasedSlideFrame);
  Fill(table, first + 2, 10, [](A a) { SetupPhasedSlide(a, from, 3); }, &PhasedSlideFrame);
  Fill(table, first + 3, 10, [](A a) { SetupPhasedSlide(a, from, 4); }, &PhasedSlideFrame);
  Fill(table, first + 4, bandsIntervalMs, [](A a) { SetupFallingBands(a, from); }, &FallingBandsFrame);
}

}  // namespace

void AddMotionRevealEntries(TransitionTable& table) {
  Fill(table, 59, 10, [](A a) { SetupSlide(a, E::Top); }, &SlideFrame);
  FillNumberedMoves<E::Top>(table, 60, 10);
  Fill(table, 65, 10, [](A a) { SetupCornerSlide(a, MotionCorner::BottomLeft); }, &CornerSlideFrame);
  Fill(table, 66, 10, [](A a) { SetupCornerSlide(a, MotionCorner::BottomRight); }, &CornerSlideFrame);
  Fill(table, 67, 10, [](A a) { SetupCornerSlide(a, MotionCorner::TopLeft); }, &CornerSlideFrame);
  Fill(table, 68, 10, [](A a) { SetupCornerSlide(a, MotionCorner::TopRight); }, &CornerSlideFrame);
  Fill(table, 69, 10, [](A a) { SetupSlide(a, E::Right); }, &SlideFrame);
  FillNumberedMoves<E::Right>(table, 70, 30);
  Fill(table, 75, 10, [](A a) { SetupHalvesSlide(a, E::Left); }, &HalvesSlideFrame);
  Fill(table, 76, 10, [](A a) { SetupSlide(a, E::Left); }, &SlideFrame);
  FillNumberedMoves<E::Left>(table, 77, 30);
  Fill(table, 82, 10, [](A a) { SetupSlide(a, E::Bottom); }, &SlideFrame);
  FillNumberedMoves<E::Bottom>(table, 83, 10);
  Fill(table, 88, 10, [](A a) { SetupHalvesSlide(a, E::Top); }, &HalvesSlideFrame);

  Fill(table, 100, 10, [](A a) { SetupRoll(a, E::Top); }, &RollFrame);
  Fill(table, 101, 10, [](A a) { SetupRoll(a, E::Right); }, &RollFrame);
  Fill(table, 102, 10, [](A a) { SetupRoll(a, E::Left); }, &RollFrame);
  Fill(table, 103, 10, [](A a) { SetupRoll(a, E::Bottom); }, &RollFrame);

  Fill(table, 112, 10, [](A a) { SetupShowCorner(a, MotionCorner::BottomLeft); }, &ShowCornerFrame);
  Fill(table, 113, 10, [](A a) { SetupShowCorner(a, MotionCorner::BottomRight); }, &ShowCornerFrame);
  Fill(table, 114, 10, [](A a) { SetupShowCorner(a, MotionCorner::TopLeft); }, &ShowCornerFrame);
  Fill(table, 115, 10, [](A a) { SetupShowCorner(a, MotionCorner::TopRight); }, &ShowCornerFrame);
  Fill(table, 116, 1, [](A a) { SetupSplit(a, false); }, &SplitFrame);
  Fill(table, 117, 1, [](A a) { SetupSplit(a, true); }, &SplitFrame);

  Fill(table, 120, 10, [](A a) { SetupStretch(a, StretchAnchor::Bottom); }, &StretchFrame);
  Fill(table, 121, 10, [](A a) { SetupStretch(a, StretchAnchor::BottomLeft); }, &StretchFrame);
  Fill(table, 122, 10, [](A a) { SetupStretch(a, StretchAnchor::BottomRight); }, &StretchFrame);
  Fill(table, 123, 10, [](A a) { SetupStretch(a, StretchAnchor::Center); }, &StretchFrame);
  Fill(table, 124, 10, [](A a) { SetupStretch(a, StretchAnchor::Left); }, &StretchFrame);
  Fill(table, 125, 10, [](A a) { SetupStretch(a, StretchAnchor::Right); }, &StretchFrame);
  Fill(table, 126, 10, [](A a) { SetupStretch(a, StretchAnchor::Top); }, &StretchFrame);
  Fill(table, 127, 10, [](A a) { SetupStretch(a, StretchAnchor::TopLeft); }, &StretchFrame);
  Fill(table, 128, 10, [](A a) { SetupStretch(a, StretchAnchor::TopRight); }, &StretchFrame);

  Fill(table, 133, 10, [](A a) { SetupBars(a, E::Top, true); }, &BarsFrame);
  Fill(table, 134, 10, [](A a) { SetupBars(a, E::Bottom, true); }, &BarsFrame);
  Fill(table, 135, 10, [](A a) { SetupBars(a, E::Top, false); }, &BarsFrame);
  Fill(table, 136, 10, [](A a) { SetupBars(a, E::Bottom, false); }, &BarsFrame);
  Fill(table, 137, 10, [](A a) { SetupBars(a, E::Right, true); }, &BarsFrame);
  Fill(table, 138, 10, [](A a) { SetupBars(a, E::Left, true); }, &BarsFrame);
  Fill(table, 139, 10, [](A a) { SetupBars(a, E::Right, false); }, &BarsFrame);
  Fill(table, 140, 10, [](A a) { SetupBars(a, E::Left, false); }, &BarsFrame);
}

}  // namespace vitrine
