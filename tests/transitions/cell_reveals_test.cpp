// Checkerboards, blocks, mosaic, zig-zags, slats and sweeps: which cells and strips each
// frame reveals, and on which frame each ends.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "cell_motion_rig.h"
#include "core/random.h"
#include "rig_frames.h"
#include "transitions/catalogue.h"
#include "transitions/cell_blocks.h"

namespace vitrine::test {
namespace {


std::string Row(const std::string& map, int y) {
  size_t start = 0;
  for (int i = 0; i < y; ++i) start = map.find('\n', start) + 1;
  return map.substr(start, map.find('\n', start) - start);
}

TEST(Checkerboard, DownLaysOneColourRowByRowThenTheOtherIn40Frames) {
  auto rig = IndexedRig(20, 19);  // cells of 2 x 1
  rig.Start(kCheckerboardDown, 25);
  EXPECT_EQ(rig.Host().frameInterval, 30);
  EXPECT_FALSE(rig.Step());
  EXPECT_EQ(Row(AreaMap(rig), 0), "##..##..##..##..##..");
  EXPECT_EQ(Row(AreaMap(rig), 1), "....................");
  EXPECT_FALSE(rig.Step());
  EXPECT_EQ(Row(AreaMap(rig), 1), "..##..##..##..##..##");
  StepFrames(rig, 18);  // first pass done
  EXPECT_FALSE(rig.Step());
  EXPECT_EQ(Row(AreaMap(rig), 0), "####################");
  EXPECT_EQ(Row(AreaMap(rig), 1), "..##..##..##..##..##");
  for (int frame = 22; frame < 40; ++frame) ASSERT_FALSE(rig.Step()) << frame;
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Checkerboard, ReboundRunsTheSecondPassBackwards) {
  auto rig = IndexedRig(20, 19);
  rig.Start(kCheckerboardDownRebound, 25);
  StepFrames(rig, 21);  // the second pass starts on row 19, below the picture
  EXPECT_EQ(Row(AreaMap(rig), 18), "##..##..##..##..##..");
  rig.Step();
  EXPECT_EQ(Row(AreaMap(rig), 18), "####################");
  EXPECT_EQ(Row(AreaMap(rig), 0), "##..##..##..##..##..");
}

TEST(Checkerboard, LeftGoesByColumnsFromColumnZero) {
  auto rig = IndexedRig(19, 8);  // cells of 1 x 1
  rig.Start(kCheckerboardLeft, 25);
  rig.Step();
  EXPECT_EQ(AreaMap(rig), "#..................\n...................\n#..................\n...................\n"
                          "#..................\n...................\n#..................\n...................\n");
}

TEST(Blocks, SpiralRunsFromTheCentreOutAndVisitsEveryCellOnce) {
  const std::pair<int32_t, int32_t> expected[] = {{3, 3}, {3, 4}, {4, 4}, {4, 3}, {4, 2}, {3, 2}, {2, 2}, {2, 3}};
  for (int p = 0; p < 8; ++p) {
    int32_t c, r;
    BlockSpiralStep(p, c, r);
    EXPECT_EQ(std::make_pair(c, r), expected[p]) << p;
  }
  std::set<std::pair<int32_t, int32_t>> seen;
  for (int p = 0; p < 64; ++p) {
    int32_t c, r;
    BlockSpiralStep(p, c, r);
    seen.insert({c, r});
  }
  EXPECT_EQ(seen.size(), 64u);
  int32_t c, r;
  BlockSpiralStep(63, c, r);
  EXPECT_EQ(std::make_pair(c, r), std::make_pair(7, 0));
}

TEST(Blocks, FromCenterDrawsTheMiddleCellFirstAndEndsOnThe65thFrame) {
  auto rig = MakeRig(60, 60);  // cells of 8 x 8; the last column is cut to 4 pixels
  rig.Start(kBlockFromCenter, 25);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{24, 24, 32, 32}));
  StepFrames(rig, 62);
  const FrameResult last = StepAndDiff(rig);
  EXPECT_FALSE(last.finished);
  EXPECT_EQ(last.changed, (Rect{56, 0, 60, 8}));
  const FrameResult end = StepAndDiff(rig);
  EXPECT_TRUE(end.finished);
  EXPECT_TRUE(end.changed.Empty());
}

TEST(Blocks, ToCenterRunsTheSpiralBackwards) {
  auto rig = MakeRig(60, 60);
  rig.Start(kBlockToCenter, 25);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{56, 0, 60, 8}));
  StepFrames(rig, 62);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{24, 24, 32, 32}));
}

TEST(Mosaic, Takes400FramesAndDrawsEveryVisibleCellOnce) {
  for (auto [w, h] : {std::pair{45, 30}, std::pair{3, 2}}) {
    RandomSeed(7);
    auto rig = MakeRig(w, h);
    rig.Start(kMosaic, 25);
    const int32_t cw = w / 20 + 1, ch = h / 20 + 1;
    std::set<std::pair<int32_t, int32_t>> cells;
    int drawing = 0;
    for (int frame = 1; frame <= 400; ++frame) {
      const FrameResult f = StepAndDiff(rig);
      ASSERT_EQ(f.finished, frame == 400) << frame;
      if (f.changed.Empty()) continue;
      ++drawing;
      EXPECT_EQ(f.changed.left % cw, 0);
      EXPECT_EQ(f.changed.top % ch, 0);
      cells.insert({f.changed.left / cw, f.changed.top / ch});
    }
    const int visible = ((w + cw - 1) / cw) * ((h + ch - 1) / ch);
    EXPECT_EQ(drawing, visible);
    EXPECT_EQ(int(cells.size()), visible);
    EXPECT_TRUE(rig.AreaShowsNew());
  }
}

TEST(ZigZag, DownWalksRowsInAlternateDirectionsAndFillsTheMarginAtTheEnd) {
  auto rig = MakeRig(45, 22);  // cells of 2 x 1, a margin of 5 columns and 2 rows
  rig.Start(kZigZagDown, 25);
  EXPECT_EQ(rig.Host().frameInterval, 1);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 2, 1}));
  StepFrames(rig, 18);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{38, 0, 40, 1}));
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{38, 1, 40, 2}));
  StepFrames(rig, 18);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 1, 2, 2}));
  StepFrames(rig, 359);
  EXPECT_FALSE(rig.ShowsNew(44, 0));
  const FrameResult last = StepAndDiff(rig);
  EXPECT_TRUE(last.finished);
  EXPECT_EQ(last.changed, (Rect{0, 0, 45, 22}));  // the last cell and the margins
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(ZigZag, OtherDirectionsStartAtTheirCornerAndTurnAtTheEdge) {
  struct Expect {
    int index;
    Rect first, second, twentyFirst;
  };
  const Expect cases[] = {
      {kZigZagLeft, {38, 0, 40, 1}, {38, 1, 40, 2}, {36, 19, 38, 20}},  // left: columns from the right
      {kZigZagRight, {0, 0, 2, 1}, {0, 1, 2, 2}, {2, 19, 4, 20}},        // right: columns from the left
      {kZigZagUp, {0, 19, 2, 20}, {2, 19, 4, 20}, {38, 18, 40, 19}},  // up: rows from the bottom
  };
  for (const Expect& e : cases) {
    auto rig = MakeRig(45, 22);
    rig.Start(e.index, 25);
    EXPECT_EQ(StepAndDiff(rig).changed, e.first) << e.index;
    EXPECT_EQ(StepAndDiff(rig).changed, e.second) << e.index;
    StepFrames(rig, 18);
    EXPECT_EQ(StepAndDiff(rig).changed, e.twentyFirst) << e.index;
  }
}

TEST(WindowBlind, DownOnAShortPictureCopiesOnlyItsRowsAndEndsOnThe21stFrame) {
  auto rig = MakeRig(30, 7);
  rig.Start(kWindowBlindDown, 25);
  for (int frame = 1; frame <= 20; ++frame) {
    const FrameResult f = StepAndDiff(rig);
    ASSERT_FALSE(f.finished);
    if (frame <= 7) EXPECT_EQ(f.changed, (Rect{0, frame - 1, 30, frame})) << frame;
    else EXPECT_TRUE(f.changed.Empty()) << frame;
  }
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(WindowBlind, UpAndLeftStartAtTheFarLineOfEachSlat) {
  auto up = MakeRig(30, 45);
  up.Start(kWindowBlindUp, 25);
  EXPECT_EQ(StepAndDiff(up).changed, (Rect{0, 19, 30, 40}));  // rows 19 and 39
  auto left = MakeRig(30, 5);
  left.Start(kWindowBlindLeft, 25);
  EXPECT_EQ(StepAndDiff(left).changed, (Rect{19, 0, 20, 5}));  // column 39 lies outside
}

TEST(Shutter, EvenSlatsFillFromTheLeftOddSlatsFromTheRight) {
  auto rig = MakeRig(30, 25);  // 2 slats of 12 rows; row 24 waits for the end
  rig.Start(kShutterHorizontal, 4);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 4, 12}));  // the odd slat starts past the edge
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{4, 0, 30, 24}));
  EXPECT_TRUE(rig.ShowsNew(26, 12));
  EXPECT_FALSE(rig.ShowsNew(25, 12));
  StepFrames(rig, 6);
  EXPECT_FALSE(rig.ShowsNew(0, 24));
  EXPECT_TRUE(rig.Step());  // Position 32 > 30
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Shutter, PictureUnderTenPixelsRunsAsOneSlat) {
  auto rig = MakeRig(30, 5);  // the passed count H div 10 is 0
  rig.Start(kShutterHorizontal, 10);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 10, 5}));
  auto vertical = MakeRig(7, 30);
  vertical.Start(kShutterVertical, 10);
  EXPECT_EQ(StepAndDiff(vertical).changed, (Rect{0, 0, 7, 10}));
  ASSERT_TRUE(vertical.Run(100));
  EXPECT_TRUE(vertical.AreaShowsNew());
}

TEST(Sweep, RightEntersOnItsSecondFrameAndEndsOnceItPassedTheEdge) {
  auto rig = MakeRig(30, 4);
  rig.Start(kSweepRight, 25);
  EXPECT_EQ(rig.Host().frameInterval, 50);
  EXPECT_TRUE(StepAndDiff(rig).changed.Empty());                // the thinnest strip at -20
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 1, 4}));      // strip 19 at 0, 1 wide
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{1, 0, 21, 4}));     // strip 18 at 0..2, strip 19 at 20
  for (int frame = 4; frame < 23; ++frame) ASSERT_FALSE(rig.Step()) << frame;
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_TRUE(rig.Step());
}

TEST(Sweep, LeftStartsFourHundredPixelsBeyondTheRightEdge) {
  auto rig = MakeRig(30, 4);
  rig.Start(kSweepLeft, 25);
  for (int frame = 1; frame < 23; ++frame) ASSERT_TRUE(StepAndDiff(rig).changed.Empty()) << frame;
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{10, 0, 11, 4}));  // p = -10: strip 1 at 10
  for (int frame = 24; frame < 44; ++frame) ASSERT_FALSE(rig.Step()) << frame;
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

}  // namespace
}  // namespace vitrine::test
