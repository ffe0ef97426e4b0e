// Every index, every family: on sizes from one pixel to a screen and at speeds from 1 to more
// than the picture, a transition ends, leaves the new picture in the whole area and touches
// nothing outside it.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "transitions/catalogue.h"
#include "transitions/transition_rig.h"

namespace vitrine::test {
namespace {

constexpr int32_t kFrameCap = 100000;

struct Case {
  int32_t width, height;
  int32_t speeds[4];
};

// Speed 1 runs only where the pictures are small enough to keep the whole sweep fast.
const Case kCases[] = {
    {1, 1, {1, 25, 50, 2}},       {2, 3, {1, 25, 50, 7}},       {5, 7, {1, 25, 50, 9}},
    {99, 100, {1, 25, 50, 160}},  {100, 99, {25, 50, 160, 0}},  {37, 90, {1, 25, 50, 133}},
    {640, 480, {25, 50, 700, 0}},
};

class EveryTransition : public testing::TestWithParam<int> {};

TEST_P(EveryTransition, EndsWithTheNewPictureAndDrawsOnlyInsideItsArea) {
  const int32_t index = GetParam();
  for (const Case& c : kCases) {
    const Bitmap oldPicture = MakeOldTestPicture(c.width, c.height);
    const Bitmap newPicture = MakeNewTestPicture(c.width, c.height);
    for (int32_t speed : c.speeds) {
      if (speed == 0) continue;
      SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " speed " + std::to_string(speed));
      RandomSeed(uint64_t(index * 1000 + speed));
      TransitionRig rig(oldPicture, newPicture, 3, 4);
      rig.Start(index, speed);
      ASSERT_TRUE(rig.Run(kFrameCap));
      EXPECT_TRUE(rig.AreaShowsNew());
      EXPECT_TRUE(rig.OutsideUntouched());
    }
  }
}

TEST_P(EveryTransition, CoversTheWholeShowUnderTheScreenScope) {
  const int32_t index = GetParam();
  RandomSeed(uint64_t(index));
  TransitionRig rig(MakeOldTestPicture(64, 48), MakeNewTestPicture(64, 48), 0, 0, TransitionScope::WholeScreen);
  rig.Start(index, 25);
  ASSERT_TRUE(rig.Run(kFrameCap));
  EXPECT_TRUE(rig.AreaShowsNew());
}

std::string IndexName(const testing::TestParamInfo<int>& info) {
  return info.param < 0 ? "None" : "Index" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryTransition, testing::Range(int(kNoTransition), kTransitionCount), IndexName);

}  // namespace
}  // namespace vitrine::test
