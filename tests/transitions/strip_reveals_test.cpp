#include <gtest/gtest.h>

#include <vector>

#include "core/random.h"
#include "rig_frames.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {

TEST(ScanDown, DrawsOneStripPerFrameAndAnEmptyLastFrameWhenTheStepDividesTheHeight) {
  TransitionRig rig = MakeRig(40, 100);
  rig.Start(kScanDown, 25);
  const Rect expected[] = {{0, 0, 40, 25}, {0, 25, 40, 50}, {0, 50, 40, 75}, {0, 75, 40, 100}};
  for (const Rect& strip : expected) {
    const FrameResult f = StepAndDiff(rig);
    EXPECT_FALSE(f.finished);
    EXPECT_EQ(f.changed, strip);
  }
  const FrameResult last = StepAndDiff(rig);
  EXPECT_TRUE(last.finished);
  EXPECT_TRUE(last.changed.Empty());
}

TEST(ScanDown, ClampsTheLastStripAndEndsWithIt) {
  TransitionRig rig = MakeRig(40, 100);
  rig.Start(kScanDown, 30);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(rig.Step());
  const FrameResult f = StepAndDiff(rig);
  EXPECT_TRUE(f.finished);
  EXPECT_EQ(f.changed, (Rect{0, 90, 40, 100}));
}

TEST(ScanToEdge, OpensFromTheMiddleAndEndsWithAnEmptyClampedStrip) {
  TransitionRig rig = MakeRig(10, 6);
  rig.Start(kScanToEdgeVertical, 2);
  // Middle 6: (4, 6) + (6, 8), then (2, 4) + (8, 10), then (0, 2); the fourth frame ends.
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{4, 0, 8, 6}));
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{2, 0, 10, 6}));
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 2, 6}));
  const FrameResult last = StepAndDiff(rig);
  EXPECT_TRUE(last.finished);
  EXPECT_TRUE(last.changed.Empty());
}

TEST(ScanToCentre, MeetsInTheMiddleAndEndsOnceThePositionPassesIt) {
  TransitionRig rig = MakeRig(7, 10);
  rig.Start(kScanToCenterHorizontal, 3);
  EXPECT_FALSE(rig.Step());  // rows 0-3 and 7-10
  EXPECT_FALSE(rig.Step());  // rows 3-6 and 4-7
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_FALSE(rig.Step());  // position 6 is not yet past the middle line 6
  EXPECT_TRUE(rig.Step());
}

// Every pixel the frame shows new lies inside one of the two rectangles.
void ExpectNewOnlyWithin(const TransitionRig& rig, const Rect& a, const Rect& b) {
  const Rect area = rig.Area();
  for (int32_t y = 0; y < area.Height(); ++y)
    for (int32_t x = 0; x < area.Width(); ++x)
      if (rig.ShowsNew(x, y)) {
        ASSERT_TRUE(a.Contains(x, y) || b.Contains(x, y)) << x << "," << y;
      }
}

TEST(GrowingBand, RowAndColumnStripsReachAtMostFiftyBeyondTheShape) {
  TransitionRig rig = MakeRig(200, 100);
  rig.Start(kBandFromLeftTopLarge, 25);
  EXPECT_FALSE(rig.Step());  // position 0: one row strip and one column strip
  ExpectNewOnlyWithin(rig, {0, 0, 50, 15}, {0, 0, 15, 50});
  EXPECT_FALSE(rig.Step());  // position 25, height round(12.5) = 12: one row strip, two columns
  ExpectNewOnlyWithin(rig, {0, 0, 75, 15}, {0, 0, 30, 62});
  EXPECT_TRUE(rig.ShowsNew(0, 0));
}

TEST(GrowingBand, TheRightBottomAnchorMirrorsBothAxes) {
  TransitionRig rig = MakeRig(200, 100);
  rig.Start(kBandFromRightBottomLarge, 25);
  EXPECT_FALSE(rig.Step());
  EXPECT_FALSE(rig.Step());
  ExpectNewOnlyWithin(rig, {125, 85, 200, 100}, {170, 38, 200, 100});
  EXPECT_TRUE(rig.ShowsNew(199, 99));
  ASSERT_TRUE(rig.Run(100));
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(GrowingBand, ToCentreKeepsTheCentreOldWhileThePositionIsNotNegative) {
  TransitionRig rig = MakeRig(200, 100);
  rig.Start(kBandToCenterLarge, 25);
  // Positions 101, 76, 51, 26, 1 still hold the centre; -24 has no shape left.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(rig.Step());
  EXPECT_FALSE(rig.ShowsNew(101, 51));
  EXPECT_TRUE(rig.ShowsNew(0, 0));
  EXPECT_FALSE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
  // -49 still runs; -74 ends.
  ASSERT_TRUE(rig.Run(100));
  EXPECT_EQ(rig.Frames(), 8);
}

TEST(RaggedBand, EndsOnlyAfterTheFrontPassesFiftyPixelsBeyondTheEdge) {
  TransitionRig rig = MakeRig(30, 100);
  rig.Start(kBandDownLarge, 25);
  // Fronts at 0, 25, ..., 125 draw; at 150 = H + 50 the band ends.
  ASSERT_TRUE(rig.Run(100));
  EXPECT_EQ(rig.Frames(), 7);
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(RaggedBand, AStepAboveFiftyStillCompletesTheBands) {
  RandomSeed(5);
  TransitionRig rig = MakeRig(30, 100);
  rig.Start(kBandDownLarge, 200);
  EXPECT_FALSE(rig.Step());
  EXPECT_FALSE(rig.ShowsNew(0, 99));  // the first fronts reach at most 49 rows
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

// Each one-pixel column stands drawn from the bottom up to its deepest front so far.
TEST(RaggedBand, UpwardColumnsShowTheDeepestFrontOfEveryFrame) {
  const int32_t w = 12, h = 60, speed = 20;
  // The fronts' random depths, drawn ahead from the same seed the transition will use.
  RandomSeed(77);
  std::vector<std::vector<int32_t>> depth;
  for (int32_t p = h; p > -50; p -= speed) {
    depth.emplace_back();
    for (int32_t i = 0; i < w; ++i) depth.back().push_back(Random(50));
  }
  TransitionRig rig = MakeRig(w, h);
  RandomSeed(77);
  rig.Start(kBandUpSmall, speed);
  std::vector<int32_t> top(w, h);
  int32_t frame = 0;
  for (int32_t p = h; p > -50; p -= speed, ++frame) {
    ASSERT_FALSE(rig.Step());
    for (int32_t i = 0; i < w; ++i) {
      top[i] = std::min(top[i], std::max(p - depth[frame][i], 0));
      if (top[i] > 0) {
        EXPECT_FALSE(rig.ShowsNew(i, top[i] - 1)) << "column " << i << " at " << p;
      }
      if (top[i] < h) {
        EXPECT_TRUE(rig.ShowsNew(i, top[i])) << "column " << i << " at " << p;
      }
    }
  }
  EXPECT_TRUE(rig.Step());
}

TEST(CentreRectangle, EnvelopShrinksTheOldPictureInProportionAndEndsBelowOne) {
  TransitionRig rig = MakeRig(100, 60);
  rig.Start(kCenterEnvelop, 10);
  // Step 30 covers the whole area: nothing changes yet.
  EXPECT_TRUE(StepAndDiff(rig).changed.Empty());
  // Step 20: the old picture keeps (50 - 33, 30 - 20, 50 + 33, 30 + 20).
  EXPECT_FALSE(rig.Step());
  EXPECT_TRUE(rig.ShowsNew(16, 30));
  EXPECT_FALSE(rig.ShowsNew(17, 30));
  EXPECT_FALSE(rig.ShowsNew(82, 49));
  EXPECT_TRUE(rig.ShowsNew(83, 30));
  EXPECT_TRUE(rig.ShowsNew(50, 9));
  EXPECT_FALSE(rig.Step());  // step 10
  EXPECT_TRUE(rig.Step());   // step 0 < 1
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Lines, DownReboundTakesTheEvenRowsDownThenTheOddRowsUp) {
  TransitionRig rig = MakeRig(8, 5);
  rig.Start(kLineDownRebound, 25);
  for (int32_t row : {0, 2, 4, 3}) {
    const FrameResult f = StepAndDiff(rig);
    EXPECT_FALSE(f.finished);
    EXPECT_EQ(f.changed, (Rect{0, row, 8, row + 1}));
  }
  const FrameResult last = StepAndDiff(rig);
  EXPECT_TRUE(last.finished);
  EXPECT_EQ(last.changed, (Rect{0, 1, 8, 2}));
}

TEST(Lines, UpOnAnEvenHeightTakesTheOddRowsThenTheEvenRowsUpwards) {
  TransitionRig rig = MakeRig(8, 4);
  rig.Start(kLineUp, 1);
  for (int32_t row : {3, 1, 2, 0}) EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, row, 8, row + 1}));
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_EQ(rig.Frames(), 4);
}

TEST(RandomLines, OneFrameOnAOnePixelWidePicture) {
  TransitionRig rig = MakeRig(1, 30);
  rig.Start(kLinesVertical, 25);
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(RandomLines, CrossLinesEndWithTheLastColumn) {
  TransitionRig rig = MakeRig(23, 40);
  rig.Start(kRandomCrossLines, 25);
  ASSERT_TRUE(rig.Run(1000));
  EXPECT_EQ(rig.Frames(), 23);
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Rain, StreaksTheStripDownAndSetsTheStripBeforeIt) {
  TransitionRig rig = MakeRig(20, 100);
  rig.Start(kRainDown, 25);
  EXPECT_EQ(StepAndDiff(rig).changed, (Rect{0, 0, 20, 100}));
  EXPECT_FALSE(rig.Step());
  for (int32_t y = 0; y < 25; ++y) EXPECT_TRUE(rig.ShowsNew(5, y)) << y;
  EXPECT_FALSE(rig.Step());
  EXPECT_FALSE(rig.Step());
  EXPECT_TRUE(rig.Step());  // position 100
  EXPECT_EQ(rig.Frames(), 5);
  EXPECT_TRUE(rig.AreaShowsNew());
}

}  // namespace
}  // namespace vitrine::test
