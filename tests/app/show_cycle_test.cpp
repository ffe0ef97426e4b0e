// The picture cycle: order, timing, sizing and placing, preview differences, clean-up.
#include <gtest/gtest.h>

#include "show_test_rig.h"

namespace vitrine::test {
namespace {

constexpr Color kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 255, 0), kBlue = RGBColor(0, 0, 255);

TEST(ShowCycle, ItemsRunInOrderEachWaitingItsDisplayTimeAfterItsTransition) {
  ShowRig rig;
  rig.AddPicture(kRed);
  rig.AddPicture(kGreen);
  rig.AddPicture(kBlue);
  rig.Set(5, "2");  // ShowSeconds: the next item is due 3 s after the transition ended
  auto& show = rig.Start();
  ASSERT_TRUE(rig.started);
  // The first item is chosen as the window opens; its one-frame transition runs at 10 ms.
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
  show.RunUntil(10);
  EXPECT_EQ(rig.ScreenAt(32, 24), kRed);
  show.RunUntil(3009);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
  show.RunUntil(3010);
  EXPECT_EQ(rig.Form().CurrentIndex, 1);
  show.RunUntil(3020);
  EXPECT_EQ(rig.ScreenAt(32, 24), kGreen);
  show.RunUntil(6020);
  EXPECT_EQ(rig.Form().CurrentIndex, 2);
  show.RunUntil(9030);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);  // wraps to the first
}

TEST(ShowCycle, ZeroSecondsStillWaitsOneSecond) {
  ShowRig rig;
  rig.AddPicture(kRed);
  rig.AddPicture(kGreen);
  auto& show = rig.Start();
  show.RunUntil(1009);
  EXPECT_EQ(rig.Form().CurrentIndex, 0);
  show.RunUntil(1010);
  EXPECT_EQ(rig.Form().CurrentIndex, 1);
}

TEST(ShowCycle, RandomOrderReachesEveryItemAndMayRepeat) {
  ShowRig rig;
  for (int i = 0; i < 3; ++i) rig.AddPicture(kRed);
  rig.Set(4, "1");
  auto& show = rig.Start();
  std::vector<int> seen(3, 0);
  bool repeated = false;
  int previous = rig.Form().CurrentIndex;
  seen[previous]++;
  for (int step = 1; step <= 60; ++step) {
    show.RunUntil(uint64_t(step) * 1010);
    int now = rig.Form().CurrentIndex;
    ASSERT_GE(now, 0);
    ASSERT_LT(now, 3);
    seen[now]++;
    repeated |= now == previous;
    previous = now;
  }
  for (int count : seen) EXPECT_GT(count, 5);
  EXPECT_TRUE(repeated);
}

TEST(ShowCycle, WholeScreenScopeStartsFromBlackAndComposesTheWholeScreen) {
  ShowRig rig;
  rig.AddPicture(kRed, 8, 6, {{47, std::to_string(kBlue)}});  // a blue plain background
  rig.Set(40, "1");
  rig.Set(41, "0");  // actual size, centred
  auto& show = rig.Start(64, 48);
  EXPECT_EQ(rig.ScreenAt(0, 0), kBlack);
  show.RunUntil(10);
  EXPECT_EQ(rig.ScreenAt(0, 0), kBlue);
  EXPECT_EQ(rig.ScreenAt(28, 21), kRed);  // (64 - 8) / 2, (48 - 6) / 2
  EXPECT_EQ(rig.ScreenAt(27, 21), kBlue);
  EXPECT_EQ(rig.ScreenAt(36, 27), kBlue);
}

TEST(ShowCycle, SizeModesFitCropAndStretch) {
  struct Case {
    const char* mode;
    int32_t w, h;
  } cases[] = {{"0", 100, 20}, {"1", 64, 13}, {"2", 64, 48}, {"3", 64, 48}};
  for (const auto& c : cases) {
    ShowRig rig;
    rig.AddPicture(kRed, 100, 20);
    rig.Set(41, c.mode);
    rig.Start(64, 48);
    EXPECT_EQ(rig.Form().PictureBitmap().Width(), c.w) << "mode " << c.mode;
    EXPECT_EQ(rig.Form().PictureBitmap().Height(), c.h) << "mode " << c.mode;
  }
}

TEST(ShowCycle, APictureLargerThanTheScreenIsCentredOverlappingBothEdges) {
  ShowRig rig;
  rig.AddPicture(kRed, 100, 60);
  rig.Set(41, "0");
  rig.Set(3, "1");  // random position: the range is negative, so the picture is centred
  rig.Start(64, 48);
  EXPECT_EQ(rig.Form().PictureLeft(), -18);
  EXPECT_EQ(rig.Form().PictureTop(), -6);
}

TEST(ShowCycle, PreviewShrinksActualSizePicturesAndLeavesTheScreenUnblackened) {
  ShowRig rig;
  rig.AddPicture(kRed, 100, 20, {{47, std::to_string(kBlue)}});
  rig.Set(41, "0");
  rig.Set(40, "1");
  auto& show = rig.Start(64, 48, /*preview=*/true);
  ASSERT_TRUE(rig.started);
  EXPECT_TRUE(rig.Form().PreviewMode);
  EXPECT_EQ(rig.Form().ShowWidth, 40);
  EXPECT_EQ(rig.Form().ShowHeight, 30);
  EXPECT_EQ(rig.Form().PictureBitmap().Width(), 40);
  EXPECT_EQ(rig.Form().PictureBitmap().Height(), 8);
  EXPECT_FALSE(show.Window().PopupMenu().has_value());
  show.RunUntil(20);
  EXPECT_FALSE(show.Window().CursorHidden());
}

TEST(ShowCycle, TheCursorHidesAfterEachTransitionInShowMode) {
  ShowRig rig;
  rig.AddPicture(kRed);
  auto& show = rig.Start();
  EXPECT_FALSE(show.Window().CursorHidden());
  show.RunUntil(10);
  EXPECT_TRUE(show.Window().CursorHidden());
  rig.Form().pbShowMouseMove(3, 3);
  EXPECT_FALSE(show.Window().CursorHidden());
}

TEST(ShowCycle, AShowWithoutItemsKeepsItsScreenAndStillCloses) {
  ShowRig rig;
  auto& show = rig.Start();
  ASSERT_TRUE(rig.started);
  show.RunUntil(5000);
  EXPECT_EQ(rig.Form().CurrentIndex, -1);
  EXPECT_EQ(rig.ScreenAt(10, 10), kBlack);
  rig.Form().FormKeyDown(27);
  EXPECT_TRUE(rig.Form().Closed());
}

TEST(ShowCycle, BackgroundImagesAreNotShownThemselves) {
  ShowRig rig;
  rig.AddPicture(kRed);
  rig.AddPicture(kGreen, 8, 6, {{63, "1"}});
  rig.AddPicture(kBlue);
  auto& show = rig.Start();
  EXPECT_EQ(rig.Form().ShowCount, 2);
  EXPECT_EQ(rig.Form().BackgroundList.size(), 1u);
  show.RunUntil(1020);
  EXPECT_EQ(rig.ScreenAt(32, 24), kBlue);
}

TEST(ShowCycle, AMissingPictureFileEndsTheRunWithItsMessage) {
  ShowRig rig;
  rig.AddItem({}, "C:\\pictures\\gone.bmp");
  rig.Set(38, "0");  // pictures are read from their own files, beside the program
  rig.Start();
  ASSERT_EQ(rig.show->Services().messages.size(), 1u);
  EXPECT_EQ(rig.show->Services().messages[0], "File not found : /saver/gone.bmp");
  EXPECT_TRUE(rig.show->Ended());
}

TEST(ShowCycle, ASecondInstanceEndsAtOnceAndTemporaryFilesGoWithTheShow) {
  ShowRig first, second;
  first.AddPicture(kRed);
  second.AddPicture(kRed);
  first.AddMusic("song.wav", Wave(500));
  first.Start();
  ASSERT_TRUE(first.started);
  EXPECT_TRUE(first.files.Exists("/tmp/mltqdsk.bmp"));
  EXPECT_TRUE(first.files.Exists("/tmp/vdn.wav"));
  second.Start();
  EXPECT_FALSE(second.started);
  first.show->Destroy();
  EXPECT_FALSE(first.files.Exists("/tmp/mltqdsk.bmp"));
  EXPECT_FALSE(first.files.Exists("/tmp/vdn.wav"));
}

}  // namespace
}  // namespace vitrine::test
