#include <gtest/gtest.h>

#include "rig_frames.h"
#include "transitions/catalogue.h"

namespace vitrine::test {
namespace {

TEST(Ellipse, FromCentreOnASquareEndsOnceTheCircleHasCoveredTheCorners) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kEllipseFromCenter, 1);
  // Cover extent round(sqrt(50^2 + 50^2)) + 1 = 72: steps 0..72 draw, step 73 ends.
  ASSERT_TRUE(rig.Run(1000));
  EXPECT_EQ(rig.Frames(), 74);
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Ellipse, ToCentreStartsWithTheCornersAndEndsBelowOne) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kEllipseToCenter, 50);
  EXPECT_FALSE(rig.Step());  // step 50: the area minus the inscribed circle
  EXPECT_TRUE(rig.ShowsNew(0, 0));
  EXPECT_TRUE(rig.ShowsNew(99, 99));
  EXPECT_FALSE(rig.ShowsNew(50, 50));
  EXPECT_FALSE(rig.ShowsNew(50, 1));
  EXPECT_TRUE(rig.Step());  // step 0
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(CircleSweep, LeftTopRunsFourPhasesOfThreeFramesAtHalfTheSide) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kCircleLeftTop, 50);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(rig.Step());
  // Phase 0 swept the right edge: the triangle right of the diagonal.
  EXPECT_TRUE(rig.ShowsNew(90, 10));
  EXPECT_FALSE(rig.ShowsNew(10, 90));
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(rig.Step());
  EXPECT_TRUE(rig.Step());
  EXPECT_EQ(rig.Frames(), 12);
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(DiagonalWipe, OneCornerGrowsOnBetweenWAndTwiceW) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kWipeFromLeftTop, 25);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(rig.Step());  // legs 0 .. 150
  EXPECT_TRUE(rig.ShowsNew(70, 70));
  EXPECT_FALSE(rig.ShowsNew(99, 99));
  EXPECT_FALSE(rig.Step());  // 175
  EXPECT_TRUE(rig.Step());   // 200 = 2W
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(DiagonalWipe, ToBothCornersEndsOnTheFrameBelowOne) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kWipeToLeftTopRightBottom, 40);
  // 100: only the diagonal's pixels change; 60, 20 grow the band; 0 < 1 ends.
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(rig.Step());
  EXPECT_TRUE(rig.ShowsNew(50, 50));
  EXPECT_FALSE(rig.ShowsNew(2, 2));
  EXPECT_FALSE(rig.ShowsNew(97, 97));
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(Diamond, ToCentreEndsWhenTheStepReachesZero) {
  TransitionRig rig = MakeRig(100, 80);
  rig.Start(kDiamondToCenter, 50);
  EXPECT_FALSE(rig.Step());  // 100
  EXPECT_FALSE(rig.Step());  // 50
  EXPECT_FALSE(rig.ShowsNew(51, 41));
  EXPECT_TRUE(rig.ShowsNew(0, 0));
  EXPECT_TRUE(rig.Step());  // 0
  EXPECT_TRUE(rig.AreaShowsNew());
}

TEST(WedgeWipe, RightEntersFromTheLeftEdgeAndClosesOnTheRight) {
  TransitionRig rig = MakeRig(100, 100);
  rig.Start(kWedgeWipeRight, 25);
  EXPECT_FALSE(rig.Step());  // phase 0, half-opening 1
  EXPECT_FALSE(rig.Step());  // 26
  EXPECT_TRUE(rig.ShowsNew(2, 50));
  EXPECT_FALSE(rig.ShowsNew(2, 10));
  EXPECT_FALSE(rig.ShowsNew(97, 50));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(rig.Step());  // phase 1: 0 .. 100
  EXPECT_FALSE(rig.ShowsNew(97, 50));                     // the old wedge at the right edge
  EXPECT_TRUE(rig.ShowsNew(90, 2));
  EXPECT_FALSE(rig.Step());  // phase 2: 50
  EXPECT_FALSE(rig.Step());  // 25
  EXPECT_TRUE(rig.Step());
  EXPECT_EQ(rig.Frames(), 10);
  EXPECT_TRUE(rig.AreaShowsNew());
}

}  // namespace
}  // namespace vitrine::test
