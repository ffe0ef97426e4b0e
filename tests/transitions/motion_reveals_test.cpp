// Moves, rolls, stretches, bars and the interlaced split: which picture lines land where on
// each frame, and on which frame each ends.
#include <gtest/gtest.h>

#include <vector>

#include "cell_motion_rig.h"
#include "rig_frames.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {

using V = std::vector<int32_t>;

constexpr int32_t O = -1;  // the old picture

V Range(int32_t from, int32_t to) {  // from..to-1
  V v;
  for (int32_t i = from; i < to; ++i) v.push_back(i);
  return v;
}
V Concat(V a, const V& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(MoveSlide, DownAtSpeed40ShowsTheBottomRowsAtTheTopAndEndsAtP160) {
  auto rig = IndexedRig(3, 100);
  rig.Start(kMoveDown, 40);
  rig.Step();  // p = 0
  EXPECT_EQ(RowSources(rig), V(100, O));
  rig.Step();  // p = 40
  EXPECT_EQ(RowSources(rig), Concat(Range(60, 100), V(60, O)));
  rig.Step();  // p = 80
  EXPECT_EQ(RowSources(rig), Concat(Range(20, 100), V(20, O)));
  EXPECT_FALSE(rig.Step());  // p = 120: whole
  EXPECT_EQ(RowSources(rig), Range(0, 100));
  EXPECT_TRUE(rig.Step());  // p = 160 >= 141
  EXPECT_EQ(rig.Frames(), 5);
}

TEST(MoveSlide, DownAtSpeed50DrawsTwiceCompleteAndEndsAtP200) {
  auto rig = IndexedRig(3, 100);
  rig.Start(kMoveDown, 50);
  StepFrames(rig, 3);
  EXPECT_EQ(RowSources(rig), Range(0, 100));
  EXPECT_FALSE(rig.Step());  // p = 150 < 151
  EXPECT_TRUE(rig.Step());
}

TEST(MoveSlide, LeftAndUpComeFromTheFarEdge) {
  auto left = IndexedRig(10, 2);
  left.Start(kMoveLeft, 3);
  StepFrames(left, 2);  // p = 3: columns 0..2 of the picture at the right edge
  EXPECT_EQ(ColumnSources(left), (V{O, O, O, O, O, O, O, 0, 1, 2}));
  auto up = IndexedRig(2, 6);
  up.Start(kMoveUp, 4);
  StepFrames(up, 2);
  EXPECT_EQ(RowSources(up), (V{O, O, 0, 1, 2, 3}));
}

TEST(MoveSlide, LeftRightOnAnOddWidthCompletesTheWiderRightHalf) {
  auto rig = IndexedRig(9, 2);  // m = 4: left half 4 columns, right half 5
  rig.Start(kMoveLeftRight, 2);
  StepFrames(rig, 2);  // p = 2
  EXPECT_EQ(ColumnSources(rig), (V{2, 3, O, O, O, O, O, 4, 5}));
  rig.Step();  // p = 4: the left half is in, the right one a column short
  EXPECT_EQ(ColumnSources(rig), (V{0, 1, 2, 3, O, 4, 5, 6, 7}));
  EXPECT_FALSE(rig.Step());  // p = 6
  EXPECT_EQ(ColumnSources(rig), Range(0, 9));
  EXPECT_TRUE(rig.Step());  // p = 8 >= 4 + 2 + 1
}

TEST(MoveSlide, FromTopLeftMovesTheBottomRightCornerIn) {
  auto rig = IndexedRig(6, 3);  // slope 0.5
  rig.Start(kMoveFromTopLeft, 2);
  StepFrames(rig, 2);  // p = 2, q = 1
  EXPECT_EQ(SourceAt(rig, 0, 0), (Point{4, 2}));
  EXPECT_EQ(SourceAt(rig, 1, 0), (Point{5, 2}));
  EXPECT_EQ(SourceAt(rig, 2, 0), (Point{-1, -1}));
  EXPECT_EQ(SourceAt(rig, 0, 1), (Point{-1, -1}));
  auto other = IndexedRig(6, 3);
  other.Start(kMoveFromBottomRight, 2);  // from bottom right: the top-left corner enters there
  StepFrames(other, 2);
  EXPECT_EQ(SourceAt(other, 4, 2), (Point{0, 0}));
  EXPECT_EQ(SourceAt(other, 5, 2), (Point{1, 0}));
  EXPECT_EQ(SourceAt(other, 3, 2), (Point{-1, -1}));
}

TEST(MovePhased, Down1BringsTheTopHalfFromTheEdgeThenTheBottomHalfFromTheCut) {
  auto rig = IndexedRig(2, 7);  // m = 3
  rig.Start(kMoveDown1, 2);
  StepFrames(rig, 2);
  EXPECT_EQ(RowSources(rig), (V{1, 2, O, O, O, O, O}));
  rig.Step();  // p = 4 > 3: clamped, the phase ends
  EXPECT_EQ(RowSources(rig), (V{0, 1, 2, O, O, O, O}));
  StepFrames(rig, 2);
  EXPECT_EQ(RowSources(rig), (V{0, 1, 2, 5, 6, O, O}));
  EXPECT_FALSE(rig.Step());
  EXPECT_EQ(RowSources(rig), Range(0, 7));
  EXPECT_TRUE(rig.Step());
  EXPECT_EQ(rig.Frames(), 7);
}

TEST(MovePhased, Down2BringsTheBottomHalfUpFromTheFarEdge) {
  auto rig = IndexedRig(2, 7);
  rig.Start(kMoveDown2, 2);
  StepFrames(rig, 5);
  EXPECT_EQ(RowSources(rig), (V{0, 1, 2, O, O, 3, 4}));
}

TEST(MovePhased, Down3CarriesABlockToTheBottomAndRaisesTheTopBehindIt) {
  auto rig = IndexedRig(2, 7);  // m = 3: a block of the last 3 rows, the top part 4 rows
  rig.Start(kMoveDown3, 2);
  StepFrames(rig, 3);
  EXPECT_EQ(RowSources(rig), (V{4, 5, 6, O, O, O, O}));
  StepFrames(rig, 2);
  EXPECT_EQ(RowSources(rig), (V{O, O, 4, 5, 6, O, O}));
  rig.Step();
  EXPECT_EQ(RowSources(rig), (V{O, O, O, O, 4, 5, 6}));
  StepFrames(rig, 2);
  EXPECT_EQ(RowSources(rig), (V{O, O, 0, 1, 4, 5, 6}));
  EXPECT_FALSE(rig.Step());
  EXPECT_EQ(RowSources(rig), Range(0, 7));
  EXPECT_TRUE(rig.Step());
  EXPECT_EQ(rig.Frames(), 10);
}

TEST(MovePhased, Down4SlidesTheTopInFromTheEdgeInstead) {
  auto rig = IndexedRig(2, 7);
  rig.Start(kMoveDown4, 2);
  StepFrames(rig, 8);
  EXPECT_EQ(RowSources(rig), (V{2, 3, O, O, 4, 5, 6}));
}

TEST(MovePhased, MirrorsRunTheSameChoreographyFromTheirEdge) {
  auto up = IndexedRig(2, 7);  // "Move up 3": the block of the first 3 rows rises to the top
  up.Start(kMoveUp3, 2);
  StepFrames(up, 3);
  EXPECT_EQ(RowSources(up), (V{O, O, O, O, 0, 1, 2}));
  StepFrames(up, 3);
  EXPECT_EQ(RowSources(up), (V{0, 1, 2, O, O, O, O}));
  auto right = IndexedRig(7, 2);  // "Move right 1": the left half from the left edge
  right.Start(kMoveRight1, 2);
  StepFrames(right, 2);
  EXPECT_EQ(ColumnSources(right), (V{1, 2, O, O, O, O, O}));
}

TEST(MoveBands, FifteenBandsFallOneAfterTheOtherAtMostOneBandPerFrame) {
  auto rig = IndexedRig(2, 30);  // bands of 3 rows; speed 25 runs as 3
  rig.Start(kMoveDown5, 25);
  rig.Step();
  EXPECT_EQ(RowSources(rig), Concat(V{27, 28, 29}, V(27, O)));
  rig.Step();
  EXPECT_EQ(RowSources(rig), Concat(Concat(V{O, O, O}, V{27, 28, 29}), V(24, O)));
  StepFrames(rig, 9);  // the first band lands
  EXPECT_EQ(RowSources(rig), Concat(V(27, O), V{27, 28, 29}));
  rig.Step();  // the second band starts at the top
  EXPECT_EQ(RowSources(rig), Concat(Concat(V{24, 25, 26}, V(24, O)), V{27, 28, 29}));
  ASSERT_TRUE(rig.Run(1000));
  EXPECT_EQ(rig.Frames(), 71);
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Roll, RightUnrollsWithAMirroredCurlAndTakesWOver3FramesWhateverTheSpeed) {
  for (int32_t speed : {1, 50}) {
    auto rig = IndexedRig(10, 2);
    rig.Start(kRollRight, speed);
    rig.Step();
    EXPECT_EQ(ColumnSources(rig), (V{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    rig.Step();
    EXPECT_EQ(ColumnSources(rig), (V{0, 1, 2, 9, 8, 7, 6, 5, 4, 3}));
    ASSERT_TRUE(rig.Run(100));
    EXPECT_EQ(rig.Frames(), 5);  // 4 drawing frames and the end
  }
  auto wide = IndexedRig(40, 1);
  wide.Start(kRollRight, 25);
  wide.Step();
  EXPECT_EQ(ColumnSources(wide), Concat(V{29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11,
                                          10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
                                        V(10, O)));
}

TEST(Roll, LeftAndDownCurlAheadOfTheirEdge) {
  auto left = IndexedRig(10, 2);
  left.Start(kRollLeft, 25);
  StepFrames(left, 2);
  EXPECT_EQ(ColumnSources(left), (V{6, 5, 4, 3, 2, 1, 0, 7, 8, 9}));
  auto down = IndexedRig(2, 10);
  down.Start(kRollDown, 25);
  StepFrames(down, 2);
  EXPECT_EQ(RowSources(down), (V{0, 1, 2, 9, 8, 7, 6, 5, 4, 3}));
}

TEST(Stretch, FromTopSqueezesTheWholePictureIntoTheTopRows) {
  auto rig = IndexedRig(4, 20);
  rig.Start(kStretchFromTop, 5);
  StepFrames(rig, 2);  // p = 5: rows 0, 4, 8, 12, 16 of the picture
  EXPECT_EQ(RowSources(rig), Concat(V{0, 4, 8, 12, 16}, V(15, O)));
  StepFrames(rig, 2);
  EXPECT_TRUE(rig.Step());  // p = 20
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_EQ(rig.Frames(), 5);
}

TEST(Stretch, FromTopLeftOnAPortraitPictureGrowsBySpeedInHeight) {
  auto rig = IndexedRig(4, 20);
  rig.Start(kStretchFromTopLeft, 5);
  StepFrames(rig, 3);  // y = 10, x = 10 * 4 div 20 = 2
  EXPECT_EQ(SourceAt(rig, 0, 0), (Point{0, 0}));
  EXPECT_EQ(SourceAt(rig, 1, 9), (Point{2, 18}));
  EXPECT_EQ(SourceAt(rig, 2, 0), (Point{-1, -1}));
  EXPECT_EQ(SourceAt(rig, 0, 10), (Point{-1, -1}));
  StepFrames(rig, 1);
  EXPECT_TRUE(rig.Step());  // y = 20
}

TEST(Stretch, FromBottomRightAndCenterUseTheirAnchor) {
  auto corner = IndexedRig(8, 4);  // landscape: x grows, y = x * 4 div 8
  corner.Start(kStretchFromBottomRight, 4);
  StepFrames(corner, 2);  // (4, 2, 8, 4)
  EXPECT_EQ(SourceAt(corner, 4, 2), (Point{0, 0}));
  EXPECT_EQ(SourceAt(corner, 7, 3), (Point{6, 2}));
  EXPECT_EQ(SourceAt(corner, 3, 3), (Point{-1, -1}));
  auto center = IndexedRig(8, 4);  // centre (4, 2), covered at p = 2
  center.Start(kStretchFromCenter, 1);
  StepFrames(center, 2);  // p = 1: (2, 1, 6, 3)
  EXPECT_EQ(SourceAt(center, 2, 1), (Point{0, 0}));
  EXPECT_EQ(SourceAt(center, 3, 1), (Point{2, 0}));
  EXPECT_EQ(SourceAt(center, 5, 2), (Point{6, 2}));
  EXPECT_EQ(SourceAt(center, 1, 1), (Point{-1, -1}));
  EXPECT_TRUE(center.Step());
}

TEST(ShowCorner, UncoversInPlaceFromTheCorner) {
  auto rig = IndexedRig(8, 4);
  rig.Start(kShowFromTopLeft, 2);
  StepFrames(rig, 3);  // x = 4, y = 2
  EXPECT_EQ(AreaMap(rig), "####....\n####....\n........\n........\n");
  auto other = IndexedRig(8, 4);
  other.Start(kShowFromBottomRight, 2);
  StepFrames(other, 3);
  EXPECT_EQ(AreaMap(other), "........\n........\n....####\n....####\n");
  StepFrames(other, 1);
  EXPECT_TRUE(other.Step());
  EXPECT_TRUE(other.AreaShowsNew());
}

TEST(Split, UpDownInterleavesEvenRowsFromTheTopAndOddRowsFromTheBottom) {
  auto rig = IndexedRig(2, 5);  // m = 3
  rig.Start(kShowUpDwon, 25);
  EXPECT_EQ(rig.Host().frameInterval, 1);
  rig.Step();  // p = 0: only rows beyond the picture are addressed
  EXPECT_EQ(RowSources(rig), V(5, O));
  rig.Step();
  EXPECT_EQ(RowSources(rig), (V{4, O, O, O, O}));
  rig.Step();
  EXPECT_EQ(RowSources(rig), (V{2, O, 4, 1, O}));
  rig.Step();
  EXPECT_EQ(RowSources(rig), Range(0, 5));
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.OutsideUntouched());
}

TEST(Split, LeftRightDoesTheSameWithColumns) {
  auto rig = IndexedRig(5, 2);
  rig.Start(kShowLeftRight, 25);
  StepFrames(rig, 3);
  EXPECT_EQ(ColumnSources(rig), (V{2, O, 4, 1, O}));
  rig.Step();
  EXPECT_EQ(ColumnSources(rig), Range(0, 5));
  EXPECT_TRUE(rig.OutsideUntouched());
}

TEST(Bars, TowBarMoveDownSlidesTheLeftHalfDownAndTheRightHalfUp) {
  auto rig = IndexedRig(5, 6);  // halves cut at 3
  rig.Start(kTowBarMoveDown, 2);
  StepFrames(rig, 2);
  EXPECT_EQ(SourceAt(rig, 0, 0), (Point{0, 4}));
  EXPECT_EQ(SourceAt(rig, 2, 1), (Point{2, 5}));
  EXPECT_EQ(SourceAt(rig, 2, 2), (Point{-1, -1}));
  EXPECT_EQ(SourceAt(rig, 3, 4), (Point{3, 0}));
  EXPECT_EQ(SourceAt(rig, 4, 5), (Point{4, 1}));
  EXPECT_EQ(SourceAt(rig, 3, 3), (Point{-1, -1}));
  StepFrames(rig, 2);  // p = 6: complete
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_TRUE(rig.Step());
  EXPECT_EQ(rig.Frames(), 5);
}

TEST(Bars, TwoBarWipeLeftUncoversTheTopFromTheRightAndTheBottomFromTheLeft) {
  auto rig = IndexedRig(6, 5);  // halves cut at row 3
  rig.Start(kTwoBarWipeLeft, 2);
  StepFrames(rig, 2);
  EXPECT_EQ(AreaMap(rig), "....##\n....##\n....##\n##....\n##....\n");
  rig.Step();
  EXPECT_EQ(AreaMap(rig), "..####\n..####\n..####\n####..\n####..\n");
}

TEST(Bars, TwoBarMoveRightBringsTheTopHalfFromTheLeft) {
  auto rig = IndexedRig(6, 5);
  rig.Start(kTwoBarMoveRight, 2);
  StepFrames(rig, 2);
  EXPECT_EQ(SourceAt(rig, 0, 0), (Point{4, 0}));
  EXPECT_EQ(SourceAt(rig, 5, 4), (Point{1, 4}));
  EXPECT_EQ(SourceAt(rig, 2, 0), (Point{-1, -1}));
}

}  // namespace
}  // namespace vitrine::test
