#pragma once
// The catalogue of the transitions: one row per index, data rather than code. The
// dispatchers look up the row, compute its extra arguments, run its set-up routine once and
// its frame routine on every tick.
#include <array>
#include <cstdint>
#include <initializer_list>

namespace vitrine {

// The indices of the catalogue, named after the entries as the settings dialog lists them
// (spelling included: kBandLeftSamll is "Band left samll"). Stored transition lists hold
// these numbers.
enum TransitionId : int32_t {
  kNoTransition = -1,  // an empty list: the whole picture in one frame
  kBandDownLarge = 0,
  kBandDownSmall = 1,
  kBandFromCenterLarge = 2,
  kBandFromCenterSmall = 3,
  kBandFromLeftBottomLarge = 4,
  kBandFromLeftBottomSmall = 5,
  kBandFromLeftTopLarge = 6,
  kBandFromLeftTopSmall = 7,
  kBandFromRightBottomLarge = 8,
  kBandFromRightBottomSmall = 9,
  kBandFromRightTopLarge = 10,
  kBandFromRightTopSmall = 11,
  kBandLeftLarge = 12,
  kBandLeftSamll = 13,
  kBandRightLarge = 14,
  kBandRightSmall = 15,
  kBandToCenterLarge = 16,
  kBandToCenterSmall = 17,
  kBandUpLarge = 18,
  kBandUpSmall = 19,
  kBlockFromCenter = 20,
  kBlockToCenter = 21,
  kCenterDiffuse = 22,
  kCenterEnvelop = 23,
  kCheckerboardDown = 24,
  kCheckerboardDownRebound = 25,
  kCheckerboardLeft = 26,
  kCheckerboardLeftRebound = 27,
  kCheckerboardRight = 28,
  kCheckerboardRightRebound = 29,
  kCheckerboardUp = 30,
  kCheckerboardUpRebound = 31,
  kCircleLeftBottom = 32,
  kCircleLeftTop = 33,
  kCircleRightBottom = 34,
  kCircleRightTop = 35,
  kCircleCenter = 36,
  kCircleRandom = 37,
  kCrossWipeFromCenter = 38,
  kCrossWipeToCenter = 39,
  kDiamondFromCenter = 40,
  kDiamondToCenter = 41,
  kEllipseFromCenter = 42,
  kEllipseToCenter = 43,
  kEllipseRandom = 44,
  kFanWipe = 45,
  kFanWipeAnticlockwise = 46,
  kIncreaseShow = 47,
  kLineDown = 48,
  kLineDownRebound = 49,
  kLineLeft = 50,
  kLineLeftRebound = 51,
  kLineRight = 52,
  kLineRightRebound = 53,
  kLineUp = 54,
  kLineUpRebound = 55,
  kLinesHorizontal = 56,
  kLinesVertical = 57,
  kMosaic = 58,
  kMoveDown = 59,
  kMoveDown1 = 60,
  kMoveDown2 = 61,
  kMoveDown3 = 62,
  kMoveDown4 = 63,
  kMoveDown5 = 64,
  kMoveFromBottomLeft = 65,
  kMoveFromBottomRight = 66,
  kMoveFromTopLeft = 67,
  kMoveFromTopRight = 68,
  kMoveLeft = 69,
  kMoveLeft1 = 70,
  kMoveLeft2 = 71,
  kMoveLeft3 = 72,
  kMoveLeft4 = 73,
  kMoveLeft5 = 74,
  kMoveLeftRight = 75,
  kMoveRight = 76,
  kMoveRight1 = 77,
  kMoveRight2 = 78,
  kMoveRight3 = 79,
  kMoveRight4 = 80,
  kMoveRight5 = 81,
  kMoveUp = 82,
  kMoveUp1 = 83,
  kMoveUp2 = 84,
  kMoveUp3 = 85,
  kMoveUp4 = 86,
  kMoveUp5 = 87,
  kMoveUpDown = 88,
  kMultiBoxFromCenter = 89,
  kMultiBoxToCenter = 90,
  kMultiWipeFromBottomLeft = 91,
  kMultiWipeFromBottomRight = 92,
  kMultiWipeFromLeftTop = 93,
  kMultiWipeFromRightTop = 94,
  kRainDown = 95,
  kRainLeft = 96,
  kRainRight = 97,
  kRainUp = 98,
  kRandomCrossLines = 99,
  kRollDown = 100,
  kRollLeft = 101,
  kRollRight = 102,
  kRollUp = 103,
  kScanDown = 104,
  kScanLeft = 105,
  kScanRight = 106,
  kScanToCenterHorizontal = 107,
  kScanToCenterVertical = 108,
  kScanToEdgeHorizontal = 109,
  kScanToEdgeVertical = 110,
  kScanUp = 111,
  kShowFromBottomLeft = 112,
  kShowFromBottomRight = 113,
  kShowFromTopLeft = 114,
  kShowFromTopRight = 115,
  kShowLeftRight = 116,
  kShowUpDwon = 117,
  kShutterHorizontal = 118,
  kShutterVertical = 119,
  kStretchFromBottom = 120,
  kStretchFromBottomLeft = 121,
  kStretchFromBottomRight = 122,
  kStretchFromCenter = 123,
  kStretchFromLeft = 124,
  kStretchFromRight = 125,
  kStretchFromTop = 126,
  kStretchFromTopLeft = 127,
  kStretchFromTopRight = 128,
  kSweepDown = 129,
  kSweepLeft = 130,
  kSweepRight = 131,
  kSweepUp = 132,
  kTowBarMoveDown = 133,
  kTowBarMoveUp = 134,
  kTowBarWipeDown = 135,
  kTowBarWipeUp = 136,
  kTwoBarMoveLeft = 137,
  kTwoBarMoveRight = 138,
  kTwoBarWipeLeft = 139,
  kTwoBarWipeRight = 140,
  kWedgeWipeDown = 141,
  kWedgeWipeLeft = 142,
  kWedgeWipeRight = 143,
  kWedgeWipeUp = 144,
  kWindowBlindDown = 145,
  kWindowBlindLeft = 146,
  kWindowBlindRight = 147,
  kWindowBlindUp = 148,
  kWipeFromLeftBottom = 149,
  kWipeFromLeftTop = 150,
  kWipeFromLeftTopRightBottom = 151,
  kWipeFromRightBottom = 152,
  kWipeFromRightTop = 153,
  kWipeFromRightTopLeftBottom = 154,
  kWipeToLeftTopRightBottom = 155,
  kWipeToRightTopLeftBottom = 156,
  kZigZagDown = 157,
  kZigZagLeft = 158,
  kZigZagRight = 159,
  kZigZagUp = 160,
  // After the first 161: transitions that run on elapsed time rather than on counted frames.
  kCrossFade = 161,
  kFadeThroughBlack = 162,
  kSlideInEased = 163,
};

// The first 161 entries, indices 0..160: what a package made for the original player chooses
// from when it asks for every transition.
inline constexpr int kClassicTransitionCount = kZigZagUp + 1;
inline constexpr int kTransitionCount = kSlideInEased + 1;

// The frame timer's interval for every row that does not ask for another.
inline constexpr int32_t kDefaultFrameIntervalMs = 10;

// A row's extra set-up arguments (the sweep pivot, the ellipse centre, the slat count); 0
// where the row has none. Everything else a set-up routine needs is in gTransition, which
// the dispatcher has prepared before it runs.
struct TransitionArgs {
  int32_t arg1 = 0, arg2 = 0;
};

using TransitionSetup = void (*)(const TransitionArgs& args);
// Draws one frame; true when the picture stands complete. Routines that take an argument
// (the growing bands' width) are wrapped by a captureless lambda in their row.
using TransitionFrame = bool (*)();
// A row's extra arguments from the picture size (W, H); may draw random numbers (Random is
// drawn for x first, then for y).
using TransitionArgsOf = TransitionArgs (*)(int32_t width, int32_t height);

struct TransitionEntry {
  const char* name = "";                           // exactly as the settings dialog lists it
  int32_t intervalMs = kDefaultFrameIntervalMs;    // the frame timer's interval
  TransitionSetup setup = nullptr;                 // null: nothing to prepare
  TransitionFrame frame = nullptr;                 // null: the row behaves as no transition
  TransitionArgsOf argsOf = nullptr;               // null: no extra arguments
};

using TransitionTable = std::array<TransitionEntry, kTransitionCount>;

// The whole catalogue, built once.
const TransitionTable& TransitionCatalogue();
// The row for kNoTransition.
const TransitionEntry& NoTransitionEntry();

// What a family unit gives for one of its rows; the name comes from the catalogue itself.
struct TransitionRow {
  TransitionId id;
  TransitionSetup setup;
  TransitionFrame frame;
  int32_t intervalMs = kDefaultFrameIntervalMs;
  TransitionArgsOf argsOf = nullptr;
};

// The one way the family units fill their rows.
void FillRows(TransitionTable& table, std::initializer_list<TransitionRow> rows);

// Each family unit fills the rows of its own indices.
void AddStripRevealEntries(TransitionTable& table);   // ragged/growing bands, centre, line, random lines, rain, scan
void AddRegionRevealEntries(TransitionTable& table);  // circle sweep, cross, diamond, ellipse, fan, wedge, diagonal wipe
void AddCellRevealEntries(TransitionTable& table);    // checkerboard, blocks, grid, mosaic, shutter, blinds, sweep, zig-zag, dissolve
void AddMotionRevealEntries(TransitionTable& table);  // move, roll, stretch, two bars, show from corner, split
void AddTimedEntries(TransitionTable& table);         // cross fade, fade through black, eased slide

}  // namespace vitrine
