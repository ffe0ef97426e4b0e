// The catalogue rows of the cell, slat and dissolve reveals.
#include "transitions/catalogue.h"
#include "transitions/cell_blocks.h"
#include "transitions/cell_checkerboard.h"
#include "transitions/cell_dissolve.h"
#include "transitions/cell_grid.h"
#include "transitions/cell_mosaic.h"
#include "transitions/cell_slats.h"
#include "transitions/cell_zigzag.h"

namespace vitrine {
namespace {

using A = const TransitionArgs&;
constexpr int32_t kBoardMs = 30, kBlindMs = 30, kSweepMs = 50, kFastestMs = 1;

}  // namespace

void AddCellRevealEntries(TransitionTable& table) {
  using L = CheckerLines;
  FillRows(table, {
    {kBlockFromCenter, [](A) { SetupBlocks(true); }, &BlocksFrame},
    {kBlockToCenter, [](A) { SetupBlocks(false); }, &BlocksFrame},

    {kCheckerboardDown, [](A) { SetupCheckerboard(L::Rows, true, true); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardDownRebound, [](A) { SetupCheckerboard(L::Rows, true, false); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardLeft, [](A) { SetupCheckerboard(L::Columns, true, true); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardLeftRebound, [](A) { SetupCheckerboard(L::Columns, true, false); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardRight, [](A) { SetupCheckerboard(L::Columns, false, false); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardRightRebound, [](A) { SetupCheckerboard(L::Columns, false, true); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardUp, [](A) { SetupCheckerboard(L::Rows, false, false); }, &CheckerboardFrame, kBoardMs},
    {kCheckerboardUpRebound, [](A) { SetupCheckerboard(L::Rows, false, true); }, &CheckerboardFrame, kBoardMs},

    {kIncreaseShow, [](A) { SetupDissolve(); }, &DissolveFrame, kFastestMs},
    {kMosaic, [](A) { SetupMosaic(); }, &MosaicFrame},

    {kMultiBoxFromCenter, [](A) { SetupMultiBox(true); }, &MultiBoxFrame},
    {kMultiBoxToCenter, [](A) { SetupMultiBox(false); }, &MultiBoxFrame},
    {kMultiWipeFromBottomLeft, [](A) { SetupMultiWipe(WipeCorner::BottomLeft); }, &MultiWipeFrame},
    {kMultiWipeFromBottomRight, [](A) { SetupMultiWipe(WipeCorner::BottomRight); }, &MultiWipeFrame},
    {kMultiWipeFromLeftTop, [](A) { SetupMultiWipe(WipeCorner::TopLeft); }, &MultiWipeFrame},
    {kMultiWipeFromRightTop, [](A) { SetupMultiWipe(WipeCorner::TopRight); }, &MultiWipeFrame},

    // The slat count comes as the extra argument.
    {kShutterHorizontal, [](A a) { SetupShutter(true, a.arg1); }, &ShutterFrame, kDefaultFrameIntervalMs,
     [](int32_t, int32_t h) { return TransitionArgs{h / 10, 0}; }},
    {kShutterVertical, [](A a) { SetupShutter(false, a.arg1); }, &ShutterFrame, kDefaultFrameIntervalMs,
     [](int32_t w, int32_t) { return TransitionArgs{w / 10, 0}; }},

    {kSweepDown, [](A) { SetupSweep(Edge::Top); }, &SweepFrame, kSweepMs},
    {kSweepLeft, [](A) { SetupSweep(Edge::Right); }, &SweepFrame, kSweepMs},
    {kSweepRight, [](A) { SetupSweep(Edge::Left); }, &SweepFrame, kSweepMs},
    {kSweepUp, [](A) { SetupSweep(Edge::Bottom); }, &SweepFrame, kSweepMs},

    {kWindowBlindDown, [](A) { SetupWindowBlind(Edge::Top); }, &WindowBlindFrame, kBlindMs},
    {kWindowBlindLeft, [](A) { SetupWindowBlind(Edge::Right); }, &WindowBlindFrame, kBlindMs},
    {kWindowBlindRight, [](A) { SetupWindowBlind(Edge::Left); }, &WindowBlindFrame, kBlindMs},
    {kWindowBlindUp, [](A) { SetupWindowBlind(Edge::Bottom); }, &WindowBlindFrame, kBlindMs},

    {kZigZagDown, [](A) { SetupZigZag(ZigDirection::Down); }, &ZigZagFrame, kFastestMs},
    {kZigZagLeft, [](A) { SetupZigZag(ZigDirection::Left); }, &ZigZagFrame, kFastestMs},
    {kZigZagRight, [](A) { SetupZigZag(ZigDirection::Right); }, &ZigZagFrame, kFastestMs},
    {kZigZagUp, [](A) { SetupZigZag(ZigDirection::Up); }, &ZigZagFrame, kFastestMs},
  });
}

}  // namespace vitrine
