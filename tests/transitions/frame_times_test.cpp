#include <gtest/gtest.h>

#include <vector>

#include "transitions/frame_times.h"

namespace vitrine::test {
namespace {

FrameTimes Runs(const std::vector<std::vector<double>>& runs) {
  FrameTimes times;
  for (const auto& run : runs)
    for (size_t frame = 0; frame < run.size(); ++frame) times.Record(frame, run[frame]);
  return times;
}

TEST(FrameTimes, EachFrameCountsWithTheSmallestOfItsRuns) {
  const FrameTimes times = Runs({{1.0, 5.0, 2.0}, {3.0, 1.5, 2.5}, {2.0, 4.0, 9.0}});
  EXPECT_EQ(times.Frames(), 3u);
  EXPECT_DOUBLE_EQ(times.SlowestMs(), 2.0);
  EXPECT_DOUBLE_EQ(times.MedianMs(), 1.5);
  EXPECT_DOUBLE_EQ(times.TotalMs(), 4.5);
}

TEST(FrameTimes, AFramePreemptedInEveryRunButAtADifferentPlaceIsNotTheSlowest) {
  const FrameTimes times = Runs({{0.5, 9.0, 0.5, 0.5}, {0.6, 0.7, 8.0, 0.5}, {0.5, 0.8, 0.6, 7.5}});
  EXPECT_DOUBLE_EQ(times.SlowestMs(), 0.7);
  EXPECT_DOUBLE_EQ(times.MedianMs(), 0.5);
}

TEST(FrameTimes, TheMedianOfAnEvenCountIsTheLargerMiddleAndNoFramesGiveZero) {
  EXPECT_DOUBLE_EQ(Runs({{4.0, 1.0, 3.0, 2.0}}).MedianMs(), 3.0);
  const FrameTimes none;
  EXPECT_EQ(none.Frames(), 0u);
  EXPECT_DOUBLE_EQ(none.SlowestMs(), 0.0);
  EXPECT_DOUBLE_EQ(none.MedianMs(), 0.0);
}

}  // namespace
}  // namespace vitrine::test
