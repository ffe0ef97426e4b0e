#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "core/random.h"
#include "transitions/catalogue.h"
#include "transitions/dispatch.h"
#include "transitions/transition_rig.h"
#include "transitions/transition_state.h"

namespace vitrine::test {
namespace {

TZovArray ListOf(const char* text) {
  TZovArray list;
  list.ParseList(text);
  return list;
}

TransitionRig SmallRig() { return TransitionRig(MakeOldTestPicture(20, 10), MakeNewTestPicture(20, 10), 4, 5); }

TEST(ChooseTransition, InOrderTheCursorCarriesOnFromPictureToPicture) {
  TransitionRig rig = SmallRig();
  TZovArray list = ListOf("3;7;");
  for (int32_t expected : {3, 7, 3}) {
    StartTransition(rig.Host(), false, list, 25, false);
    EXPECT_EQ(rig.Host().transitionIndex, expected);
  }
}

TEST(ChooseTransition, ARandomChoiceMovesTheCursorToTheDrawnPosition) {
  TZovArray list = ListOf("4;9;12;30;");
  for (uint64_t seed : {1, 2, 3, 4, 5}) {
    RandomSeed(seed);
    const int32_t chosen = ChooseTransitionIndex(list, true);
    EXPECT_EQ(ChooseTransitionIndex(list, false), chosen);
  }
}

TEST(ChooseTransition, AnEmptyListShowsThePictureInOneFrame) {
  TransitionRig rig = SmallRig();
  TZovArray empty;
  StartTransition(rig.Host(), false, empty, 25, true);
  EXPECT_EQ(rig.Host().transitionIndex, kNoTransition);
  EXPECT_TRUE(rig.Step());
  EXPECT_TRUE(rig.AreaShowsNew());
  EXPECT_TRUE(rig.OutsideUntouched());
}

TEST(StartTransition, PausesTheMusicUnlessThePictureWantsItDuringTheTransition) {
  TransitionRig rig = SmallRig();
  TZovArray list = ListOf("104;");
  StartTransition(rig.Host(), false, list, 25, false);
  StartTransition(rig.Host(), true, list, 25, false);
  EXPECT_EQ(rig.Host().posted, (std::vector<uint32_t>{0x574, 0x575}));
  EXPECT_TRUE(rig.Host().frameTimerEnabled);
  EXPECT_EQ(rig.Host().frameInterval, 10);
}

TEST(StartTransition, UnderTheScreenScopeAStretchRunsAsTheBarTenPlacesOn) {
  MemoryTransitionHost host;
  host.scope = TransitionScope::WholeScreen;
  host.surface.Reset(80, 60, kDefaultShowPixelFormat);
  host.compose.Reset(80, 60, kDefaultShowPixelFormat);
  host.screen.Reset(80, 60, kDefaultShowPixelFormat);
  host.picture = MakeNewTestPicture(20, 10);
  host.pictureLeft = 30;
  host.pictureTop = 20;
  StartChosenTransition(host, kStretchFromCenter, 25);
  EXPECT_EQ(host.transitionIndex, kTowBarMoveDown);
  EXPECT_EQ(gTransition.OriginX, 0);
  EXPECT_EQ(gTransition.OriginY, 0);
  EXPECT_EQ(host.pictureLeft, 0);
  EXPECT_EQ(host.pictureTop, 0);
  EXPECT_EQ(gTransition.NewPicture, &host.screen);
  EXPECT_EQ(gTransition.PicWidth, 80);
  EXPECT_EQ(host.screen.RawPixel(30, 20), host.picture.RawPixel(0, 0));
}

TEST(StartTransition, ThePictureScopeKeepsTheStretchAndThePicturePosition) {
  TransitionRig rig = SmallRig();
  StartChosenTransition(rig.Host(), kStretchFromCenter, 25);
  EXPECT_EQ(rig.Host().transitionIndex, kStretchFromCenter);
  EXPECT_EQ(gTransition.OriginX, 4);
  EXPECT_EQ(gTransition.OriginY, 5);
  EXPECT_EQ(gTransition.PicWidth, 20);
}

TEST(StartTransition, IndicesOutsideTheCatalogueAndSpeedsBelowOneStillEnd) {
  TransitionRig rig = SmallRig();
  rig.Start(kTransitionCount, 25);
  EXPECT_EQ(rig.Host().transitionIndex, kNoTransition);
  EXPECT_TRUE(rig.Step());
  EXPECT_FALSE(StepTransition(rig.Host(), 200));

  TransitionRig scan = SmallRig();
  scan.Start(kScanDown, 0);  // "Scan down" at speed 1: ten rows, then the empty strip
  ASSERT_TRUE(scan.Run(100));
  EXPECT_EQ(scan.Frames(), 11);
}

TEST(Catalogue, HoldsTheNamesAsTheDialogListsThem) {
  const TransitionTable& t = TransitionCatalogue();
  EXPECT_STREQ(t[kBandDownLarge].name, "Band down large");
  EXPECT_STREQ(t[kBandLeftSamll].name, "Band left samll");
  EXPECT_STREQ(t[kScanToCenterVertical].name, "Scan to center(Vertical) ");
  EXPECT_STREQ(t[kShowUpDwon].name, "Show up-dwon");
  EXPECT_STREQ(t[kTowBarMoveDown].name, "Tow bar move down");
  EXPECT_STREQ(t[kMoveDown5].name, "Move down 5");
  EXPECT_STREQ(t[kZigZagUp].name, "Zig-zag up");
  for (int i = 0; i < kTransitionCount; ++i)
    for (int j = i + 1; j < kTransitionCount; ++j) EXPECT_STRNE(t[i].name, t[j].name) << i << " " << j;
}

TEST(Catalogue, TheNamedIndicesAreTheNumbersStoredInTransitionLists) {
  EXPECT_EQ(kNoTransition, -1);
  EXPECT_EQ(kBandDownLarge, 0);
  EXPECT_EQ(kBandLeftSamll, 13);
  EXPECT_EQ(kIncreaseShow, 47);
  EXPECT_EQ(kMoveDown5, 64);
  EXPECT_EQ(kScanDown, 104);
  EXPECT_EQ(kScanToCenterVertical, 108);
  EXPECT_EQ(kShowUpDwon, 117);
  EXPECT_EQ(kTowBarMoveDown, 133);
  EXPECT_EQ(kZigZagUp, 160);
  EXPECT_EQ(kClassicTransitionCount, 161);
}

TEST(Catalogue, EveryIndexHasItsOwnRoutinesAndTheTimerIntervalTheCatalogueGivesIt) {
  const std::map<int, int32_t> slower = {
      {kCheckerboardDown, 30}, {kCheckerboardDownRebound, 30}, {kCheckerboardLeft, 30}, {kCheckerboardLeftRebound, 30},
      {kCheckerboardRight, 30}, {kCheckerboardRightRebound, 30}, {kCheckerboardUp, 30}, {kCheckerboardUpRebound, 30},
      {kIncreaseShow, 1}, {kMoveLeft5, 30}, {kMoveRight5, 30}, {kShowLeftRight, 1}, {kShowUpDwon, 1},
      {kSweepDown, 50}, {kSweepLeft, 50}, {kSweepRight, 50}, {kSweepUp, 50},
      {kWindowBlindDown, 30}, {kWindowBlindLeft, 30}, {kWindowBlindRight, 30}, {kWindowBlindUp, 30},
      {kZigZagDown, 1}, {kZigZagLeft, 1}, {kZigZagRight, 1}, {kZigZagUp, 1},
  };
  const TransitionTable& t = TransitionCatalogue();
  for (int i = 0; i < kTransitionCount; ++i) {
    EXPECT_NE(t[i].setup, nullptr) << i;
    EXPECT_NE(t[i].frame, nullptr) << i;
    const auto it = slower.find(i);
    EXPECT_EQ(t[i].intervalMs, it == slower.end() ? 10 : it->second) << t[i].name;
  }
}

TEST(Catalogue, RowsWithExtraArgumentsGetThemFromThePictureSize) {
  const TransitionTable& t = TransitionCatalogue();
  auto args = [&](TransitionId id, int32_t w, int32_t h) {
    const TransitionArgs a = t[id].argsOf(w, h);
    return std::pair{a.arg1, a.arg2};
  };
  EXPECT_EQ(args(kCircleLeftBottom, 101, 51), std::pair(0, 51));
  EXPECT_EQ(args(kCircleRightTop, 101, 51), std::pair(101, 0));
  EXPECT_EQ(args(kCircleCenter, 101, 51), std::pair(50, 25));
  EXPECT_EQ(args(kShutterHorizontal, 101, 59).first, 5);
  EXPECT_EQ(args(kShutterVertical, 101, 59).first, 10);
  RandomSeed(9);
  const int32_t x = Random(101), y = Random(51);
  RandomSeed(9);
  EXPECT_EQ(args(kEllipseRandom, 101, 51), std::pair(x, y));  // x drawn first
  EXPECT_EQ(t[kScanDown].argsOf, nullptr);
}

}  // namespace
}  // namespace vitrine::test
