// The catalogue rows of the region-shaped reveals.
#include "core/random.h"
#include "core/rounding.h"
#include "transitions/catalogue.h"
#include "transitions/region_circle_sweep.h"
#include "transitions/region_cross.h"
#include "transitions/region_diagonal_wipe.h"
#include "transitions/region_ellipse.h"
#include "transitions/region_fan.h"
#include "transitions/region_wedge.h"

namespace vitrine {
namespace {

using A = const TransitionArgs&;

TransitionArgs RandomPoint(int32_t w, int32_t h) {
  const int32_t x = Random(w);
  return {x, Random(h)};
}

void CircleSweep(A a) { SetupCircleSweep(a.arg1, a.arg2); }

}  // namespace

void AddRegionRevealEntries(TransitionTable& table) {
  FillRows(table, {
    // Circle sweeps: the pivot comes as the extra arguments.
    {kCircleLeftBottom, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs,
     [](int32_t, int32_t h) { return TransitionArgs{0, h}; }},
    {kCircleLeftTop, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs,
     [](int32_t, int32_t) { return TransitionArgs{0, 0}; }},
    {kCircleRightBottom, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs,
     [](int32_t w, int32_t h) { return TransitionArgs{w, h}; }},
    {kCircleRightTop, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs,
     [](int32_t w, int32_t) { return TransitionArgs{w, 0}; }},
    {kCircleCenter, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs,
     [](int32_t w, int32_t h) { return TransitionArgs{Div(w, 2), Div(h, 2)}; }},
    {kCircleRandom, &CircleSweep, &CircleSweepFrame, kDefaultFrameIntervalMs, &RandomPoint},

    {kCrossWipeFromCenter, [](A) { SetupCross(CrossKind::CrossFrom); }, &CrossFrame},
    {kCrossWipeToCenter, [](A) { SetupCross(CrossKind::CrossTo); }, &CrossFrame},
    {kDiamondFromCenter, [](A) { SetupCross(CrossKind::DiamondFrom); }, &CrossFrame},
    {kDiamondToCenter, [](A) { SetupCross(CrossKind::DiamondTo); }, &CrossFrame},

    {kEllipseFromCenter, [](A) { SetupEllipse(EllipseKind::FromCentre, 0, 0); }, &EllipseFrame},
    {kEllipseToCenter, [](A) { SetupEllipse(EllipseKind::ToCentre, 0, 0); }, &EllipseFrame},
    // The random centre comes as the extra arguments.
    {kEllipseRandom, [](A a) { SetupEllipse(EllipseKind::Random, a.arg1, a.arg2); }, &EllipseFrame,
     kDefaultFrameIntervalMs, &RandomPoint},

    {kFanWipe, [](A) { SetupFan(true); }, &FanFrame},
    {kFanWipeAnticlockwise, [](A) { SetupFan(false); }, &FanFrame},

    {kWedgeWipeDown, [](A) { SetupWedge(WedgeFrom::Top); }, &WedgeFrame},
    {kWedgeWipeLeft, [](A) { SetupWedge(WedgeFrom::Right); }, &WedgeFrame},
    {kWedgeWipeRight, [](A) { SetupWedge(WedgeFrom::Left); }, &WedgeFrame},
    {kWedgeWipeUp, [](A) { SetupWedge(WedgeFrom::Bottom); }, &WedgeFrame},

    {kWipeFromLeftBottom, [](A) { SetupDiagonalWipe(kWipeLeftBottom, false); }, &DiagonalWipeFrame},
    {kWipeFromLeftTop, [](A) { SetupDiagonalWipe(kWipeLeftTop, false); }, &DiagonalWipeFrame},
    {kWipeFromLeftTopRightBottom, [](A) { SetupDiagonalWipe(kWipeLeftTop | kWipeRightBottom, false); }, &DiagonalWipeFrame},
    {kWipeFromRightBottom, [](A) { SetupDiagonalWipe(kWipeRightBottom, false); }, &DiagonalWipeFrame},
    {kWipeFromRightTop, [](A) { SetupDiagonalWipe(kWipeRightTop, false); }, &DiagonalWipeFrame},
    {kWipeFromRightTopLeftBottom, [](A) { SetupDiagonalWipe(kWipeRightTop | kWipeLeftBottom, false); }, &DiagonalWipeFrame},
    {kWipeToLeftTopRightBottom, [](A) { SetupDiagonalWipe(kWipeLeftTop | kWipeRightBottom, true); }, &DiagonalWipeFrame},
    {kWipeToRightTopLeftBottom, [](A) { SetupDiagonalWipe(kWipeRightTop | kWipeLeftBottom, true); }, &DiagonalWipeFrame},
  });
}

}  // namespace vitrine
