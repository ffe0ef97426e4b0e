#include "transitions/catalogue.h"

#include "transitions/dispatch.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// In index order, as the settings dialog lists them; the misspellings and the trailing blank
// of "Scan to center(Vertical) " are the dialog's own. The names after "Zig-zag up" are ours.
constexpr const char* kTransitionNames[kTransitionCount] = {
    "Band down large",  // kBandDownLarge
    "Band down small",  // kBandDownSmall
    "Band from center large",  // kBandFromCenterLarge
    "Band from center small",  // kBandFromCenterSmall
    "Band from left-bottom large",  // kBandFromLeftBottomLarge
    "Band from left-bottom small",  // kBandFromLeftBottomSmall
    "Band from left-top large",  // kBandFromLeftTopLarge
    "Band from left-top small",  // kBandFromLeftTopSmall
    "Band from right-bottom large",  // kBandFromRightBottomLarge
    "Band from right-bottom small",  // kBandFromRightBottomSmall
    "Band from right-top large",  // kBandFromRightTopLarge
    "Band from right-top small",  // kBandFromRightTopSmall
    "Band left large",  // kBandLeftLarge
    "Band left samll",  // kBandLeftSamll
    "Band right large",  // kBandRightLarge
    "Band right small",  // kBandRightSmall
    "Band to center large",  // kBandToCenterLarge
    "Band to center small",  // kBandToCenterSmall
    "Band up large",  // kBandUpLarge
    "Band up small",  // kBandUpSmall
    "Block from center",  // kBlockFromCenter
    "Block to center",  // kBlockToCenter
    "Center(Diffuse)",  // kCenterDiffuse
    "Center(Envelop)",  // kCenterEnvelop
    "Checkerboard down",  // kCheckerboardDown
    "Checkerboard down rebound",  // kCheckerboardDownRebound
    "Checkerboard left",  // kCheckerboardLeft
    "Checkerboard left rebound",  // kCheckerboardLeftRebound
    "Checkerboard right",  // kCheckerboardRight
    "Checkerboard right rebound",  // kCheckerboardRightRebound
    "Checkerboard up",  // kCheckerboardUp
    "Checkerboard up rebound",  // kCheckerboardUpRebound
    "Circle left-bottom",  // kCircleLeftBottom
    "Circle left-top",  // kCircleLeftTop
    "Circle right-bottom",  // kCircleRightBottom
    "Circle right-top",  // kCircleRightTop
    "Circle(Center)",  // kCircleCenter
    "Circle(Random)",  // kCircleRandom
    "Cross wipe from center",  // kCrossWipeFromCenter
    "Cross wipe to center",  // kCrossWipeToCenter
    "Diamond from center",  // kDiamondFromCenter
    "Diamond to center",  // kDiamondToCenter
    "Ellipse from center",  // kEllipseFromCenter
    "Ellipse to center",  // kEllipseToCenter
    "Ellipse(Random)",  // kEllipseRandom
    "Fan wipe",  // kFanWipe
    "Fan wipe(Anticlockwise)",  // kFanWipeAnticlockwise
    "Increase show",  // kIncreaseShow
    "Line down",  // kLineDown
    "Line down rebound",  // kLineDownRebound
    "Line left",  // kLineLeft
    "Line left rebound",  // kLineLeftRebound
    "Line right",  // kLineRight
    "Line right rebound",  // kLineRightRebound
    "Line up",  // kLineUp
    "Line up rebound",  // kLineUpRebound
    "Lines(Horizontal)",  // kLinesHorizontal
    "Lines(Vertical)",  // kLinesVertical
    "Mosaic",  // kMosaic
    "Move down",  // kMoveDown
    "Move down 1",  // kMoveDown1
    "Move down 2",  // kMoveDown2
    "Move down 3",  // kMoveDown3
    "Move down 4",  // kMoveDown4
    "Move down 5",  // kMoveDown5
    "Move from bottom left",  // kMoveFromBottomLeft
    "Move from bottom right",  // kMoveFromBottomRight
    "Move from top left",  // kMoveFromTopLeft
    "Move from top right",  // kMoveFromTopRight
    "Move left",  // kMoveLeft
    "Move left 1",  // kMoveLeft1
    "Move left 2",  // kMoveLeft2
    "Move left 3",  // kMoveLeft3
    "Move left 4",  // kMoveLeft4
    "Move left 5",  // kMoveLeft5
    "Move left right",  // kMoveLeftRight
    "Move right",  // kMoveRight
    "Move right 1",  // kMoveRight1
    "Move right 2",  // kMoveRight2
    "Move right 3",  // kMoveRight3
    "Move right 4",  // kMoveRight4
    "Move right 5",  // kMoveRight5
    "Move up",  // kMoveUp
    "Move up 1",  // kMoveUp1
    "Move up 2",  // kMoveUp2
    "Move up 3",  // kMoveUp3
    "Move up 4",  // kMoveUp4
    "Move up 5",  // kMoveUp5
    "Move up down",  // kMoveUpDown
    "Multi-Box from center",  // kMultiBoxFromCenter
    "Multi-Box to center",  // kMultiBoxToCenter
    "Multi-Wipe from bottom-left",  // kMultiWipeFromBottomLeft
    "Multi-Wipe from bottom-right",  // kMultiWipeFromBottomRight
    "Multi-Wipe from left-top",  // kMultiWipeFromLeftTop
    "Multi-Wipe from right-top",  // kMultiWipeFromRightTop
    "Rain down",  // kRainDown
    "Rain left",  // kRainLeft
    "Rain right",  // kRainRight
    "Rain up",  // kRainUp
    "Random crossLines",  // kRandomCrossLines
    "Roll down",  // kRollDown
    "Roll left",  // kRollLeft
    "Roll right",  // kRollRight
    "Roll up",  // kRollUp
    "Scan down",  // kScanDown
    "Scan left",  // kScanLeft
    "Scan right",  // kScanRight
    "Scan to center(Horizontal)",  // kScanToCenterHorizontal
    "Scan to center(Vertical) ",  // kScanToCenterVertical
    "Scan to edge(Horizontal)",  // kScanToEdgeHorizontal
    "Scan to edge(Vertical)",  // kScanToEdgeVertical
    "Scan up",  // kScanUp
    "Show from bottom-left",  // kShowFromBottomLeft
    "Show from bottom-right",  // kShowFromBottomRight
    "Show from top-left",  // kShowFromTopLeft
    "Show from top-right",  // kShowFromTopRight
    "Show left-right",  // kShowLeftRight
    "Show up-dwon",  // kShowUpDwon
    "Shutter(Horizontal)",  // kShutterHorizontal
    "Shutter(Vertical)",  // kShutterVertical
    "Stretch from bottom",  // kStretchFromBottom
    "Stretch from bottom-left",  // kStretchFromBottomLeft
    "Stretch from bottom-right",  // kStretchFromBottomRight
    "Stretch from center",  // kStretchFromCenter
    "Stretch from left",  // kStretchFromLeft
    "Stretch from right",  // kStretchFromRight
    "Stretch from top",  // kStretchFromTop
    "Stretch from top-left",  // kStretchFromTopLeft
    "Stretch from top-right",  // kStretchFromTopRight
    "Sweep down",  // kSweepDown
    "Sweep left",  // kSweepLeft
    "Sweep right",  // kSweepRight
    "Sweep up",  // kSweepUp
    "Tow bar move down",  // kTowBarMoveDown
    "Tow bar move up",  // kTowBarMoveUp
    "Tow bar wipe down",  // kTowBarWipeDown
    "Tow bar wipe up",  // kTowBarWipeUp
    "Two bar move left",  // kTwoBarMoveLeft
    "Two bar move right",  // kTwoBarMoveRight
    "Two bar wipe left",  // kTwoBarWipeLeft
    "Two bar wipe right",  // kTwoBarWipeRight
    "Wedge wipe down",  // kWedgeWipeDown
    "Wedge wipe left",  // kWedgeWipeLeft
    "Wedge wipe right",  // kWedgeWipeRight
    "Wedge wipe up",  // kWedgeWipeUp
    "Window blind down",  // kWindowBlindDown
    "Window blind left",  // kWindowBlindLeft
    "Window blind right",  // kWindowBlindRight
    "Window blind up",  // kWindowBlindUp
    "Wipe from left-bottom",  // kWipeFromLeftBottom
    "Wipe from left-top",  // kWipeFromLeftTop
    "Wipe from left-top/right-bottom",  // kWipeFromLeftTopRightBottom
    "Wipe from right-bottom",  // kWipeFromRightBottom
    "Wipe from right-top",  // kWipeFromRightTop
    "Wipe from right-top/left-bottom",  // kWipeFromRightTopLeftBottom
    "Wipe to left-top/right-bottom",  // kWipeToLeftTopRightBottom
    "Wipe to right-top/left-bottom",  // kWipeToRightTopLeftBottom
    "Zig-zag down",  // kZigZagDown
    "Zig-zag left",  // kZigZagLeft
    "Zig-zag right",  // kZigZagRight
    "Zig-zag up",  // kZigZagUp
    "Cross fade",  // kCrossFade
    "Fade through black",  // kFadeThroughBlack
    "Slide in eased",  // kSlideInEased
};

TransitionTable BuildCatalogue() {
  TransitionTable table{};
  for (int i = 0; i < kTransitionCount; ++i) table[size_t(i)].name = kTransitionNames[i];
  AddStripRevealEntries(table);
  AddRegionRevealEntries(table);
  AddCellRevealEntries(table);
  AddMotionRevealEntries(table);
  AddTimedEntries(table);
  return table;
}

}  // namespace

bool NoTransition() {
  DrawWholeNew();
  return true;
}

const TransitionTable& TransitionCatalogue() {
  static const TransitionTable table = BuildCatalogue();
  return table;
}

const TransitionEntry& NoTransitionEntry() {
  static const TransitionEntry entry{"", kDefaultFrameIntervalMs, nullptr, &NoTransition, nullptr};
  return entry;
}

void FillRows(TransitionTable& table, std::initializer_list<TransitionRow> rows) {
  for (const TransitionRow& row : rows) {
    TransitionEntry& entry = table[size_t(row.id)];
    entry.intervalMs = row.intervalMs;
    entry.setup = row.setup;
    entry.frame = row.frame;
    entry.argsOf = row.argsOf;
  }
}

}  // namespace vitrine
